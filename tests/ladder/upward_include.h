// A header that the ladder test places in vorn_lang: its include reaches up to vorn_surfaces,
// so the test must refuse it.
#pragma once
#include "surfaces/integrals.h"
