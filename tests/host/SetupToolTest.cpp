// The host build of instalix-setup as a program: its command line, its exit
// codes, a bad answers file refused before the simulated machine is
// touched, and the README's example answers file installing as it stands.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
};

class SetupTool : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/instalix-setup-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // Runs the tool with one argument, quoted for the shell.
    ToolRun Start(const std::string& argument) { return Start(std::vector<std::string>{argument}); }
    ToolRun Start(const std::vector<std::string>& arguments) {
        std::string quoted;
        for (const std::string& argument : arguments) {
            quoted += " '";
            for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
            quoted += "'";
        }
        const std::string command = std::string("'") + INSTALIX_SETUP_TOOL + "'" + quoted + " >'" +
                                    (dir / "out").string() + "' 2>'" + (dir / "err").string() + "'";
        ToolRun r;
        const int status = std::system(command.c_str());
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = ReadText(dir / "out");
        r.err = ReadText(dir / "err");
        return r;
    }
    ToolRun WithFile(const std::string& text) {
        std::ofstream(dir / "answers.ini", std::ios::binary) << text;
        return Start((dir / "answers.ini").string());
    }

    fs::path dir;
};

std::string Answers(const std::string& install) {
    return "[Install]\n" + install + "Package=" + INSTALIX_PACKAGE_DIR +
           "\n[Answers]\n143=Yes\n[Machine]\nWindows=winxp\nUsbPrinters=0\nLanguageMonitor=1\n";
}

TEST_F(SetupTool, TheCommandLineAndAnUnreadableFileExitWithThree) {
    ToolRun r = Start("");
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, "instalix-setup: no answers file given\n");
    r = Start((dir / "missing.ini").string());
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, "instalix-setup: cannot read the answers file \"" + (dir / "missing.ini").string() +
                         "\": No such file or directory\n");
    r = Start(dir.string());
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find("cannot read the answers file"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");

    const int status = std::system((std::string("'") + INSTALIX_SETUP_TOOL + "' >/dev/null 2>&1").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 3);
}

TEST_F(SetupTool, ABadFileEndsBeforeTheMachineIsTouched) {
    struct Case {
        const char* install;
        const char* error;
    };
    const Case cases[] = {
        {"Model=MTR-Q5\nPort=KRCOM1:\nParity=Zebra\n",
         "[Install] Parity: \"Zebra\" is not one of Even, Mark, None, Odd, Space"},
        // An unknown model used to ask the identity question, write the
        // maker's port records and register a processor named "0" first.
        {"Model=MTR-X9\nPort=USB_MTR-X9_2\nMode=Advanced\n",
         "[Install] Model: \"MTR-X9\" is not one of the package's Receipt models: MTR-Q5, MTR-C30, MTR-R80"},
        {"Model=MTR-Q5\nPort=USB_MTR-Q5_9\nMode=Advanced\n", "[Install] Port: \"USB_MTR-Q5_9\" is not one of"},
    };
    for (const Case& k : cases) {
        ToolRun r = WithFile(Answers(k.install));
        EXPECT_EQ(r.code, 3) << k.install;
        EXPECT_EQ(r.err.rfind(std::string("instalix-setup: ") + k.error, 0), 0u) << r.err;
        EXPECT_EQ(r.out, "") << k.install;
    }

    ToolRun r = WithFile("[Install]\nModel=MTR-Q5\nPort=KRCOM1:\nPackage=" + (dir / "nothing").string() + "\n");
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, "instalix-setup: [Install] Package: \"" + (dir / "nothing").string() +
                         "\" is not a driver package: it holds no DRVCONFIG\\setup.ini\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(SetupTool, AGoodFileInstallsAndExitsWithTheEnding) {
    ToolRun r = WithFile(Answers("Model=MTR-Q5\nPort=KRCOM2:\nBaudRate=19200\nParity=Even ; a note\n"));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("result: finished, printer MTR-Q5(S)\n"), std::string::npos) << r.out;
    const std::string ports = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
    EXPECT_NE(r.out.find("change: registry " + ports + ": COM2:\n"), std::string::npos) << r.out;
    // No model: the wizard's refusal, and the wizard would stay open.
    r = WithFile(Answers("Port=KRCOM2:\n"));
    EXPECT_EQ(r.code, 2) << r.err;
    EXPECT_EQ(r.out.rfind("message 112 [OK] -> OK\n", 0), 0u) << r.out;
}

TEST_F(SetupTool, TheLogIsAppendedToTheGivenFileRunAfterRun) {
    std::ofstream(dir / "answers.ini", std::ios::binary) << Answers("Model=MTR-Q5\nPort=LPT1:\n");
    const std::string answers = (dir / "answers.ini").string(), log = (dir / "setup.log").string();
    ToolRun r = Start({answers, "--log", log});
    EXPECT_EQ(r.code, 0) << r.err;
    const std::string first = ReadText(log);
    EXPECT_NE(first.find(" ==== instalix-setup 1.0, Windows 5.1.2600 (NT)\r\n"), std::string::npos) << first;
    EXPECT_NE(first.find(" step add printer\r\n"), std::string::npos) << first;
    EXPECT_NE(first.find(" note installation finished, printer MTR-Q5(P)\r\n"), std::string::npos) << first;
    // The option may come first; a second run is appended after the first.
    r = Start({"--log", log, answers});
    EXPECT_EQ(r.code, 0) << r.err;
    const std::string both = ReadText(log);
    ASSERT_GT(both.size(), first.size());
    EXPECT_EQ(both.substr(0, first.size()), first);
    EXPECT_NE(both.find(" ==== instalix-setup", first.size()), std::string::npos);
    // A refused answers file is logged, and still prints nothing.
    std::ofstream(dir / "answers.ini", std::ios::binary) << Answers("Model=MTR-Q5\nPort=LPT1:\nParity=Zebra\n");
    r = Start({answers, "--log", log});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(ReadText(log).find(" note refused: [Install] Parity: \"Zebra\""), std::string::npos);
    // --log needs its path; a second answers file is refused.
    for (const std::vector<std::string>& bad : {std::vector<std::string>{answers, "--log"},
                                                std::vector<std::string>{answers, "--log", ""},
                                                std::vector<std::string>{answers, answers}}) {
        r = Start(bad);
        EXPECT_EQ(r.code, 3);
        EXPECT_EQ(r.err, "usage: instalix-setup ANSWERS.INI [--log PATH]\n");
    }
}

// The example of README.md's instalix-setup section: the first fenced block
// holding "[Install]" after the heading.
std::string ReadmeExample() {
    const std::string readme = ReadText(INSTALIX_README);
    const std::size_t section = readme.find("\n## instalix-setup\n");
    if (section == std::string::npos) return "";
    const std::size_t start = readme.find("```\n[Install]\n", section);
    if (start == std::string::npos) return "";
    const std::size_t end = readme.find("\n```\n", start);
    if (end == std::string::npos) return "";
    return readme.substr(start + 4, end + 1 - (start + 4));
}

TEST_F(SetupTool, TheReadmeExampleInstallsAsItStands) {
    std::string example = ReadmeExample();
    ASSERT_FALSE(example.empty()) << "no [Install] example under README.md's instalix-setup heading";
    // Only the medium is pointed at the sample package.
    const std::string medium = "\nPackage=E:\\ ";
    const std::size_t at = example.find(medium);
    ASSERT_NE(at, std::string::npos) << "the example names no medium E:\\:\n" << example;
    example.replace(at, medium.size() - 1, std::string("\nPackage=") + INSTALIX_PACKAGE_DIR);

    ToolRun r = WithFile(example);
    EXPECT_EQ(r.code, 0) << r.err << example;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("message 143 [Yes/No] -> Yes\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("result: finished, printer MTR-Q5(U) 2\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("state: default printer MTR-Q5(U) 2\n"), std::string::npos) << r.out;
}

}  // namespace
