#pragma once
// The recorded decks and listings in tests/data, and a listing's text as the
// product reads it (lines joined by CR LF).
#include "../../TestData.h"
#include "base/MemoText.h"

namespace engine_test {

using fluvena::NormalizedText;
using fluvena::testing::ReadFixture;

}  // namespace engine_test
