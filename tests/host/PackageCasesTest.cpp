// instalix-config --check on broken packages: each case of
// tests/packages/cases is a script that breaks a copy of tests/packages/base,
// and its .expected file holds the exact output followed by "exit N".
// INSTALIX_BLESS=1 writes the output into the .expected files instead.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kPackages = INSTALIX_TEST_PACKAGES;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// The tool's output for `arguments` and its exit code, as "...exit N\n".
std::string ToolOutput(const std::string& arguments) {
    const std::string command = std::string("'") + INSTALIX_CONFIG_TOOL + "' " + arguments;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return "<popen failed>";
    std::string out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int status = pclose(pipe);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return out + "exit " + std::to_string(code) + "\n";
}

std::string CheckOutput(const fs::path& package) { return ToolOutput("--check " + Quoted(package)); }

class ScratchPackage {
public:
    explicit ScratchPackage(const std::string& name) {
        m_dir = fs::temp_directory_path() / ("instalix-case-" + name + "-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::copy(kPackages / "base", m_dir, fs::copy_options::recursive);
    }
    ~ScratchPackage() {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    const fs::path& dir() const { return m_dir; }

private:
    fs::path m_dir;
};

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(kPackages / "cases"))
        if (e.path().extension() == ".sh") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class PackageCase : public ::testing::TestWithParam<std::string> {};

TEST_P(PackageCase, GivesExactlyItsDiagnostics) {
    const std::string name = GetParam();
    ScratchPackage package(name);
    const fs::path script = kPackages / "cases" / (name + ".sh");
    const std::string setup = "cd " + Quoted(package.dir()) + " && set -e && . " + Quoted(kPackages / "case-lib.sh") +
                              " && . " + Quoted(script);
    ASSERT_EQ(std::system(("bash -c \"" + setup + "\"").c_str()), 0) << "the case script failed: " << script;

    const std::string actual = CheckOutput(package.dir());
    const fs::path expectedFile = kPackages / "cases" / (name + ".expected");
    if (std::getenv("INSTALIX_BLESS")) {
        std::ofstream(expectedFile, std::ios::binary) << actual;
        GTEST_SKIP() << "wrote " << expectedFile;
    }
    EXPECT_EQ(actual, Slurp(expectedFile)) << "case " << name;
}

INSTANTIATE_TEST_SUITE_P(Cases, PackageCase, ::testing::ValuesIn(CaseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string id = info.param;
                             std::replace(id.begin(), id.end(), '-', '_');
                             return id;
                         });

TEST(PackageCheckTool, TheBaseOfTheCasesAndTheSamplePackagePassWithoutAWord) {
    EXPECT_EQ(CheckOutput(kPackages / "base"), "exit 0\n");
    EXPECT_EQ(CheckOutput(INSTALIX_PACKAGE_DIR), "exit 0\n");
}

TEST(PackageCheckTool, AFolderThatIsNotThereIsAnError) {
    EXPECT_EQ(CheckOutput(kPackages / "no-such-package"), "exit 1\n");
}

TEST(PackageCheckTool, TheListingOfAFolderWithoutSetupIniIsAnErrorNotAPackageOfZeros) {
    const fs::path missing = kPackages / "no-such-package";
    EXPECT_EQ(ToolOutput(Quoted(missing) + " 2>&1"),
              "instalix-config: " + missing.string() + " is not a driver package: it holds no DRVCONFIG\\setup.ini\n"
              "exit 1\n");
    ScratchPackage empty("no-setup-ini");
    fs::remove(empty.dir() / "DRVCONFIG" / "setup.ini");
    EXPECT_EQ(ToolOutput(Quoted(empty.dir()) + " MTR-Q5 2>&1"),
              "instalix-config: " + empty.dir().string() + " is not a driver package: it holds no DRVCONFIG\\setup.ini\n"
              "exit 1\n");
    // The package lists as before.
    EXPECT_EQ(ToolOutput(Quoted(kPackages / "base") + " >/dev/null"), "exit 0\n");
}

}  // namespace
