#include "render/culling.h"

namespace nivora {

namespace {

bool culling = true;

} // namespace

bool cullingOn() { return culling; }

CullingOff::CullingOff() : was_(culling) { culling = false; }

CullingOff::~CullingOff() { culling = was_; }

} // namespace nivora
