#pragma once
#include <fstream>
#include <string>

#include "tests/fixtures/TempDir.h"

// A fresh VANTREL_ROOT for one test; the previous environment comes back afterwards.
class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    std::string host(const std::string& relative) const { return root_.path() + "/" + relative; }
    void write(const std::string& relative, const std::string& bytes) const;
    std::string read(const std::string& relative) const;

private:
    fixtures::TempDir root_;
};
