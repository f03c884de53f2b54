#include "catalogue/TrackElement.h"

TrackElement::TrackElement(const RString& trackTitle) : title(trackTitle) {}
