#include "catalogue/DiscElement.h"

#include "catalogue/TrackElement.h"

TrackElement* DiscElement::GetTrack(unsigned i) const {
  return static_cast<TrackElement*>(GetItem(static_cast<int>(i)));
}
