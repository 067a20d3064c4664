// The generated files: golden runs byte for byte, names written as bytes, and pieces that refuse
// text they could not write.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "render/generated_files.h"
#include "tests/test_support.h"

namespace {

// Each golden directory holds the two files that one command line must produce exactly.
void expectGolden(const std::string& golden, const std::vector<std::string>& args) {
    TempDir dir;
    const RunResult run = runLinkweld(dir.path, args);
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    for (const char* name : {"glEntryHub.cpp", "glEntryHub.h"}) {
        EXPECT_EQ(readFile(dir.file(name)),
                  readFile(sourcePath("tests/golden/" + golden + "/" + name)))
            << golden << "/" << name;
    }
}

TEST(GoldenFiles, EveryListEmpty) {
    expectGolden("empty", {"lonely.h"});
}

TEST(GoldenFiles, BundledExamples) {
    expectGolden("examples",
                 {"-gl", sourcePath("examples/glext.h"), "-wgl", sourcePath("examples/wglext.h")});
}

TEST(GoldenFiles, VendorHeadersAfterTheMainOnes) {
    expectGolden("vendor", {"-gl", sourcePath("examples/glext.h"), "-gl",
                            sourcePath("examples/glATI.h"), "-wgl", sourcePath("examples/wglext.h"),
                            "-wgl", sourcePath("examples/wglATI.h")});
}

// Only the names a program uses: a source file's identifiers, flags named through EXTCAPS and
// ExtCaps; then a list of names with a WGL name, which brings <windows.h> back.
TEST(GoldenFiles, OnlyTheNamesAProgramUses) {
    for (const char* golden : {"subset/program.c", "subset_wgl/names.txt"}) {
        expectGolden(
            std::string(golden).substr(0, std::string(golden).find('/')),
            {"-gl", sourcePath("examples/glext.h"), "-wgl", sourcePath("examples/wglext.h"),
             "--used-by", sourcePath(std::string("tests/golden/") + golden)});
    }
}

// With --contexts, the pair also holds the table of one context's pointers and flags; of only the
// names used, a call through a table keeps its entry point as the usual name does.
TEST(GoldenFiles, TablesOfSeveralContexts) {
    const std::vector<std::string> headers{"-gl", sourcePath("examples/glext.h"), "-wgl",
                                           sourcePath("examples/wglext.h"), "--contexts"};
    expectGolden("contexts", headers);
    std::vector<std::string> used = headers;
    used.push_back("--used-by");
    used.push_back(sourcePath("tests/golden/contexts_subset/program.c"));
    expectGolden("contexts_subset", used);
}

// With --debug, the pair also holds a wrapper of every entry point it keeps, whole or of only the
// names used.
TEST(GoldenFiles, WrappersOfTheDebuggingBuild) {
    const std::vector<std::string> headers{"-gl", sourcePath("examples/glext.h"), "-wgl",
                                           sourcePath("examples/wglext.h"), "--debug"};
    expectGolden("debug", headers);
    std::vector<std::string> used = headers;
    used.push_back("--used-by");
    used.push_back(sourcePath("tests/golden/debug_subset/names.txt"));
    expectGolden("debug_subset", used);
}

std::string rendered(const GeneratedFile& file, const SymbolTables& tables) {
    std::string bytes;
    PieceWriter writer = writerInto(bytes);
    renderFile(file, writer, tables);
    return bytes;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every byte value, at every place of the eight a pointer type's name is upper-cased by: only a
// to z change.
TEST(GeneratedFiles, APointerTypeUpperCasesTheAsciiLettersAlone) {
    std::string name;
    for (int byte = 0; byte < 256 * 8; ++byte) {
        name += static_cast<char>(byte / 8);
    }
    std::string type;
    appendPointerType(type, name);
    ASSERT_EQ(type.size(), name.size() + 7);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        ASSERT_EQ(type[3 + i], c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) << i;
    }
}

// Names no golden file holds: format characters, and one longer than the writer's buffer.
TEST(GeneratedFiles, NamesAreWrittenAsBytesNeverAsFormats) {
    const std::string longName = "gl" + std::string(70000, 'x');
    SymbolTables tables;
    tables.extensions[Api::gl].append("GL_%s%d%%\\n");
    tables.entryPoints[Api::gl].append("gl%s");
    tables.entryPoints[Api::wgl].append(longName);
    const std::string source = rendered(kGeneratedFiles[0], tables);
    const std::string header = rendered(kGeneratedFiles[1], tables);
    EXPECT_TRUE(contains(source, "map_GL_%s%d%%\\n(void) { FLENABLE(GL_%s%d%%\\n); }"));
    EXPECT_TRUE(contains(source, "MAPFUNC(PFNGL%SPROC, gl%s);"));
    EXPECT_TRUE(contains(header, "EXTERN PFNGL%SPROC gl%s;"));
    EXPECT_TRUE(contains(header, "EXTERN PFNGL" + std::string(70000, 'X') + "PROC " + longName));
}

// A table of pieces is constexpr, so these stop its build; made at run time, they throw.
TEST(Pieces, RefuseTextTheyCannotWrite) {
    EXPECT_THROW(Piece("a lone % sign"), std::logic_error);
    EXPECT_THROW(Piece("\n%s once"), std::logic_error);
    EXPECT_THROW(forEachEntryPoint(Api::gl, "\nEXTERN %s;"), std::logic_error);
    EXPECT_THROW(forEachExtension(Api::gl, "\nno name"), std::logic_error);
    EXPECT_NO_THROW(Piece("100%% \n", {tabs(2), spaces(3), tabs(1)}));
}

}  // namespace
