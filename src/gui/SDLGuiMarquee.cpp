// The marquee's text and its restart; the drawing is MarqueeView's.
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"

namespace {

const RString kServiceText = "Equipo fuera de servicio: llame al encargado";
const RString kSaveFailureText = "No se pueden guardar los creditos: llame al encargado";
const RString kLedgerFailureText = "No se puede escribir el registro de ventas: llame al encargado";

}  // namespace

void SDLGui::MarqueeCalc() { marquee.Restart(skin->wmarquee); }

const RString& SDLGui::MarqueeText() const {
  if (cashbox->SaveFailing()) return kSaveFailureText;
  if (cashbox->LedgerFailing()) return kLedgerFailureText;
  return serviceStatus.NeedsService() ? kServiceText : config->marquesina;
}
