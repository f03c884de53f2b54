#include "catalogue/TrackElement.h"

#include <utility>

TrackElement::TrackElement(RString trackTitle) : title(std::move(trackTitle)) {}
