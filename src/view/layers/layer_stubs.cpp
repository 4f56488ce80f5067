// Placeholders for the layers not written yet; each is replaced by its own file.
#include "view/render_context.h"

namespace celes {

void DrawMoonPhaseIcon(RenderContext&) {}
void DrawOrbitDiagram(RenderContext&) {}
void DrawConstellations(RenderContext&) {}
void DrawConstellationLabel(RenderContext&, const StarRecord&, int, int) {}
void DrawObjectMark(RenderContext&, const StarRecord&, int, int) {}
void DrawMilkyWay(RenderContext&) {}
void DrawAddIns(RenderContext&) {}
void DrawBodies(RenderContext&) {}

}  // namespace celes
