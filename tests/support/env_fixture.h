// The headless environment engine tests run in: a scene, its settings and messages, and the
// scripted host, joined into the Env the engine takes.
#pragma once

#include "core/scene.h"
#include "core/settings.h"
#include "fake_host.h"
#include "lang/message_table.h"

namespace vorn::test {

struct EnvFixture {
    core::Scene scene;
    core::Settings settings;
    lang::MessageTable messages;
    FakeHost host;
    core::Env env{scene, settings, messages, host};
};

} // namespace vorn::test
