#include "app/program.h"

#include <gtest/gtest.h>

namespace nivora {
namespace {

} // namespace
} // namespace nivora
