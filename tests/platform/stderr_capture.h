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
    std::string path = ::testing::TempDir() + "/zv_stderr_capture";
    std::FILE* file = std::fopen(path.c_str(), "w+");
    if (file == nullptr) {
        ADD_FAILURE() << "cannot create " << path;
        return {};
    }
    std::fflush(stderr);
    int saved = dup(STDERR_FILENO);
    dup2(fileno(file), STDERR_FILENO);
    action();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::fclose(file);
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::remove(path.c_str());
    return text.str();
}
