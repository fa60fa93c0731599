#include "simpleui/SimpleUITexture.h"

SimpleUITexture::SimpleUITexture(const std::string& name) : SimpleUIWidget(name) {}

SimpleUITexture::~SimpleUITexture() = default;

void SimpleUITexture::Draw(CDC&) {}

void SimpleUITexture::SetTexture(int) { Redraw(); }
