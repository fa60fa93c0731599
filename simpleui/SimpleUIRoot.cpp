#include "simpleui/SimpleUIRoot.h"

SimpleUIRoot::SimpleUIRoot(const std::string& name) : SimpleUITexture(name) {}

void SimpleUIRoot::OnMouseMove(UINT nFlags, POINT point) { SimpleUITexture::OnMouseMove(nFlags, point); }
void SimpleUIRoot::OnLButtonDown(UINT, POINT) { Default(); }
void SimpleUIRoot::OnLButtonUp(UINT, POINT) { Default(); }
BOOL SimpleUIRoot::OnEraseBkgnd(CDC*) { return TRUE; }
