// A bitmap that cannot be read ends the process with its message. Each load
// runs in a child process inside a working folder of its own; the child's
// message box writes what it was asked to show to standard error, where the
// death test matches it.
#include "graphics_test.h"
#include "texture_fakes.h"

#include <platform/testing.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace texture_fakes;
namespace fs = std::filesystem;

constexpr char kCanShown[] = "box\\[Can1\\.bmpﾌｧｲﾙが読み込めません\\] type=0 help=0";

class UnreadableBitmap : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        GTEST_FLAG_SET(death_test_style, "fast");
        world.Install();
        world.formats = {kPal8, kRgb565, kRgb24, kRgb32};
        can = ReadFile(CanBitmapPath());
        ASSERT_GT(can.size(), 1078u) << CanBitmapPath();
    }

    // In the child: every box goes to standard error with how many releases
    // had happened by then, and the load runs in `folder` by the bare name.
    void LoadIn(const fs::path& folder, const char* name) {
        zv::testing::SetMessageBoxPresenter([this](const char* text, UINT type, UINT helpId) {
            std::fprintf(stderr, "box[%s] type=%u help=%u released=%zu\n", text, type, helpId,
                         world.log.released.size());
            return IDOK;
        });
        if (chdir(folder.c_str()) != 0)
            std::exit(3);
        LoadBitmapTexture(&texture, &world.device, name);
    }

    // Can1.bmp with `count` bytes at `offset` replaced, little-endian.
    std::vector<uint8_t> Patched(size_t offset, uint32_t value, int count = 4) const {
        std::vector<uint8_t> bytes = can;
        for (int i = 0; i < count; ++i)
            bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        return bytes;
    }

    std::vector<uint8_t> can;
    TextureWorld world;
    BitmapTexture texture;
};

TEST_F(UnreadableBitmap, ShowsTheNameWithItsMessageAndExitsWithOne) {
    using Make = std::function<void(const fs::path& file)>;
    auto bytes = [](std::vector<uint8_t> content) {
        return Make([content](const fs::path& file) { WriteFile(file, content); });
    };
    struct Case {
        const char* what;
        Make make;
    };
    const Case cases[] = {
        {"missing", [](const fs::path&) {}},
        {"empty", bytes({})},
        {"cut inside the headers", bytes({can.begin(), can.begin() + 30})},
        {"cut inside the colour table", bytes({can.begin(), can.begin() + 600})},
        {"cut inside the pixels", bytes({can.begin(), can.end() - 1000})},
        {"wrong magic", bytes(Patched(0, 'M' | 'B' << 8, 2))},
        {"text", bytes({'h', 'e', 'l', 'l', 'o', '\n'})},
        {"absurd width", bytes(Patched(18, 0x7FFFFFFF))},
        {"absurd height", bytes(Patched(22, 0x7FFFFFFF))},
        {"zero width", bytes(Patched(18, 0))},
        {"negative width", bytes(Patched(18, 0xFFFFFF00))},
        {"seven bits per pixel", bytes(Patched(28, 7, 2))},
        {"header size 0", bytes(Patched(14, 0))},
        {"pixels said to start past the end", bytes(Patched(10, 0x7FFFFFF0))},
        {"a folder", [](const fs::path& file) { fs::create_directory(file); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder("unreadable");
        c.make(folder.path() / "Can1.bmp");
        EXPECT_EXIT(LoadIn(folder.path(), "Can1.bmp"), ::testing::ExitedWithCode(1), kCanShown);
    }
}

TEST_F(UnreadableBitmap, NothingOfTheTextureHeldIsReleasedFirst) {
    g_hxp.halFound = 1;
    ASSERT_EQ(LoadBitmapTexture(&texture, &world.device, CanBitmapPath().c_str()), 1);
    world.log.released.clear();
    ScratchFolder folder("held");
    EXPECT_EXIT(LoadIn(folder.path(), "Can1.bmp"), ::testing::ExitedWithCode(1),
                std::string(kCanShown) + " released=0\n");
}

TEST_F(UnreadableBitmap, ALongNameIsCutToTheBuffer) {
    ScratchFolder folder("long");
    // 255 bytes of the name and the terminator fill the buffer.
    const std::string name(300, 'x');
    EXPECT_EXIT(LoadIn(folder.path(), name.c_str()), ::testing::ExitedWithCode(1),
                "box\\[x{255}\\] type=0 help=0");
}

TEST_F(UnreadableBitmap, TheBareNameIsLookedUpInTheWorkingFolder) {
    ScratchFolder folder("readable");
    WriteFile(folder.path() / "Can1.bmp", can);
    EXPECT_EXIT(
        {
            LoadIn(folder.path(), "Can1.bmp");
            std::exit(texture.textureHandle != 0 && texture.systemSurface != nullptr ? 7 : 8);
        },
        ::testing::ExitedWithCode(7), "");
}

} // namespace
