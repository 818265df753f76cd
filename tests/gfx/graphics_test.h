// Every graphics-layer test starts and ends with the record as the process
// starts it: all zeros, no runtime loaded.
#pragma once

#include <gfx/hxp.h>
#include <platform/testing.h>

#include <gtest/gtest.h>

#include <string>

class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override { g_hxp = GraphicsState{}; }
    void TearDown() override {
        HXPFreeLibraries();
        g_hxp = GraphicsState{};
    }

    // A folder of fake runtime modules for one loader situation.
    static std::string Situation(const std::string& name) { return ZV_TEST_MODULES_DIR "/" + name; }

    // The layer's diagnostic lines, kept off standard error.
    zv::testing::DebugCapture debug;
};
