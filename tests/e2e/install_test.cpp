// The build installed into a prefix of the test's own, and the installed
// program started the two ways a user starts it: from a terminal through
// bin/zevra, and from the desktop through its entry.
#include "desktop.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <sstream>

namespace zv::e2e {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> DesktopEntry(const fs::path& file) {
    std::map<std::string, std::string> keys;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (auto equals = line.find('='); equals != std::string::npos && line[0] != '[')
            keys[line.substr(0, equals)] = line.substr(equals + 1);
    return keys;
}

std::string Unquoted(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Installed : public ::testing::Test {
public:
    static fs::path Bin() { return prefix / ZV_INSTALL_BINDIR; }
    static fs::path ProgramDir() { return prefix / ZV_INSTALL_LIBDIR / "zevra"; }
    static fs::path DataDir() { return prefix / ZV_INSTALL_DATADIR / "zevra"; }
    static fs::path Share() { return prefix / ZV_INSTALL_DATADIR; }

protected:
    static void SetUpTestSuite() {
        prefix = fs::path(::testing::TempDir()) / ("zevra-prefix-" + std::to_string(getpid()));
        fs::remove_all(prefix);
        installed = Output("cmake --install '" + std::string(ZV_BINARY_DIR) + "' --prefix '" +
                               prefix.string() + "' 2>&1",
                           &status);
    }
    static void TearDownTestSuite() { fs::remove_all(prefix); }

    void SetUp() override { ASSERT_EQ(status, 0) << installed; }

    static inline fs::path prefix;
    static inline std::string installed;
    static inline int status = -1;
};

TEST_F(Installed, PutsEachFileWhereTheDesktopAndTheProgramLookForIt) {
    struct Wanted {
        fs::path file;
        bool executable;
    };
    const Wanted kFiles[] = {
        {Bin() / "zevra", true},
        {ProgramDir() / "zevra", true},
        {ProgramDir() / "ddraw.so", false},
        {ProgramDir() / "d3drm.so", false},
        {ProgramDir() / "libzv_platform.so", false},
        {DataDir() / "Can1.bmp", false},
        {Share() / "applications" / "zevra.desktop", false},
        {Share() / "icons" / "hicolor" / "16x16" / "apps" / "zevra.png", false},
        {Share() / "icons" / "hicolor" / "32x32" / "apps" / "zevra.png", false},
    };
    for (const Wanted& wanted : kFiles) {
        SCOPED_TRACE(wanted.file.string());
        ASSERT_TRUE(fs::is_regular_file(wanted.file));
        if (wanted.executable) {
            EXPECT_EQ(access(wanted.file.c_str(), X_OK), 0);
        }
    }
    EXPECT_EQ(FileBytes(DataDir() / "Can1.bmp"),
              FileBytes(std::string(ZV_SOURCE_DIR) + "/data/Can1.bmp"));

    for (int size : {16, 32}) {
        std::string png =
            (Share() / "icons" / "hicolor" / (std::to_string(size) + "x" + std::to_string(size)) /
             "apps" / "zevra.png")
                .string();
        EXPECT_EQ(Output("identify -format '%m %wx%h' '" + png + "'"),
                  "PNG " + std::to_string(size) + "x" + std::to_string(size));
    }

    fs::path entry = Share() / "applications" / "zevra.desktop";
    int valid = -1;
    std::string complaints = Output("desktop-file-validate '" + entry.string() + "' 2>&1", &valid);
    EXPECT_EQ(valid, 0) << complaints;
    EXPECT_EQ(complaints, "");
    auto keys = DesktopEntry(entry);
    EXPECT_EQ(keys["Name"], "Zevra");
    EXPECT_EQ(Unquoted(keys["Exec"]), (Bin() / "zevra").string());
    EXPECT_EQ(keys["Path"], DataDir().string());
    EXPECT_EQ(keys["Icon"], "zevra");

    // The program finds the platform library in its own folder, not in the
    // build.
    std::string libraries = Output("ldd '" + (ProgramDir() / "zevra").string() + "'");
    EXPECT_NE(
        libraries.find("libzv_platform.so => " + (ProgramDir() / "libzv_platform.so").string()),
        std::string::npos)
        << libraries;
}

struct Launch {
    const char* name;
    // The command and the folder it is started in.
    std::function<std::pair<std::string, std::string>()> how;
};

void PrintTo(const Launch& launch, std::ostream* os) {
    *os << launch.name;
}

class InstalledRun : public Installed, public ::testing::WithParamInterface<Launch> {};

TEST_P(InstalledRun, DrawsThePictureWithTheInstalledModulesAndEndsWithZeroOnEscape) {
    auto [command, folder] = GetParam().how();
    Display display(true);
    ASSERT_TRUE(display.Ready());
    Program zevra(command, folder);
    unsigned long window = WaitForWindow(display, zevra.Pid(), "Zevra");
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(display.ActivateAndWait(window));
    Display::DrawCounter frames(display, window);
    ASSERT_TRUE(Eventually([&] { return frames.Count() >= 5; })) << "no frames";

    Image picture = ReadPicture(std::string(ZV_SOURCE_DIR) + "/data/Can1.bmp");
    EXPECT_GE(PictureMatch(display.GrabClient(window), picture), 0.97);

    // Every library of ours in the process comes from the installation.
    std::istringstream maps(FileBytes("/proc/" + std::to_string(zevra.Pid()) + "/maps"));
    std::map<std::string, std::string> loaded;
    for (std::string line; std::getline(maps, line);) {
        auto slash = line.find('/');
        if (slash == std::string::npos)
            continue;
        fs::path file = line.substr(slash);
        loaded[file.filename().string()] = file.parent_path().string();
    }
    for (const char* name : {"zevra", "libzv_platform.so", "ddraw.so", "d3drm.so"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(loaded.count(name), 1u);
        EXPECT_EQ(loaded[name], ProgramDir().string());
    }

    display.Key("Escape");
    EXPECT_EQ(zevra.WaitForExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Installed, InstalledRun,
    ::testing::Values(
        // From a terminal anywhere: the launcher goes to the picture's folder.
        Launch{"Launcher",
               [] {
                   return std::pair{(InstalledRun::Bin() / "zevra").string(), std::string("/")};
               }},
        // From the desktop: its entry names the command and the folder.
        Launch{"DesktopEntry",
               [] {
                   auto keys =
                       DesktopEntry(InstalledRun::Share() / "applications" / "zevra.desktop");
                   return std::pair{Unquoted(keys["Exec"]), keys["Path"]};
               }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zv::e2e
