// Runs an action with standard error sent to a file and returns what was
// written there.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

template <class Action> std::string StandardErrorOf(Action action) {
    // Tests run side by side: each capture gets a file of its own.
    std::string path = ::testing::TempDir() + "/zv_stderr_XXXXXX";
    int fd = mkstemp(path.data());
    if (fd < 0) {
        ADD_FAILURE() << "cannot create " << path;
        return {};
    }
    std::fflush(stderr);
    int saved = dup(STDERR_FILENO);
    dup2(fd, STDERR_FILENO);
    action();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    close(fd);
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::remove(path.c_str());
    return text.str();
}
