// The operator's manual keeps up with the program: it names every text of
// the dialog templates and the menu, every message the program can show
// (where plain ASCII) and the Graph window's labels; its links and pictures
// stay inside docs/manual.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "device/device_session.h"
#include "graph/graph_picture.h"
#include "settings/config_checks.h"
#include "settings/settings_parse.h"

namespace {

namespace fs = std::filesystem;
using Texts = std::set<std::string>;
const fs::path kSourceDir = PV_SOURCE_DIR;
const fs::path kManual = kSourceDir / "docs" / "manual" / "PENDRA_VISUALIZER_HELP.html";

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Each line of the text ("\\n" as in code breaks it too), trimmed, when it
// is plain ASCII and not empty.
void addLines(Texts &texts, const std::string &text)
{
    std::istringstream lines(std::regex_replace(text, std::regex("\\\\n"), "\n"));
    for (std::string line; std::getline(lines, line);) {
        line = std::regex_replace(line, std::regex("^[ \t\r]+|[ \t\r]+$"), "");
        if (!line.empty() && line.find("\\x") == std::string::npos && std::regex_match(line, std::regex("[ -~]*")))
            texts.insert(line);
    }
}

// The lines of the string literals of a piece of code.
void addLiterals(Texts &texts, const std::string &code)
{
    const std::regex literal("\"((?:[^\"\\\\]|\\\\.)*)\"");
    for (std::sregex_iterator it(code.begin(), code.end(), literal), end; it != end; ++it)
        addLines(texts, (*it)[1].str());
}

TEST(Manual, NamesTheProgramsTextsAndLabelsAndLinksOnlyInsideItsFolder)
{
    Texts expected;
    // Template statements whose first argument, when quoted, is shown on
    // screen; "&" marks a menu accelerator.
    const std::regex statement(
        "^\\s*(CONTROL|LTEXT|GROUPBOX|PUSHBUTTON|DEFPUSHBUTTON|CAPTION|MENUITEM|POPUP)\\s+\"([^\"]*)\".*");
    for (const char *name : {"main_dialog.rc", "config_dialog.rc", "graph_window.rc"}) {
        std::istringstream lines(readFile(kSourceDir / "src" / "resources" / name));
        for (std::string line; std::getline(lines, line);)
            if (std::smatch match; std::regex_match(line, match, statement))
                addLines(expected, std::regex_replace(match[2].str(), std::regex("&"), ""));
    }
    EXPECT_GT(expected.size(), 40u) << "the templates were read";
    // Message boxes and window texts the program sets: the literals of the
    // call and of the named constants (const char kName[] = "...") it uses.
    const std::regex call("\\b(MessageBox[AW]|messageBoxCp932|SetWindowTextA|SetDlgItemTextA)\\([^;]*"),
        constant("\\bk[A-Z][A-Za-z0-9]*\\b");
    for (const auto &entry : fs::recursive_directory_iterator(kSourceDir / "src")) {
        const std::string file = entry.path().extension() == ".cpp" ? readFile(entry.path()) : "";
        for (std::sregex_iterator it(file.begin(), file.end(), call), end; it != end; ++it) {
            const std::string args = it->str();
            addLiterals(expected, args);
            for (std::sregex_iterator name(args.begin(), args.end(), constant); name != end; ++name)
                if (const size_t at = file.find("char " + name->str() + "[] ="); at != std::string::npos)
                    addLiterals(expected, file.substr(at, file.find(';', at) - at));
        }
    }
    EXPECT_GT(expected.size(), 55u) << "the message calls were found";
    // Texts that reach the message boxes through tables: error codes, bad
    // settings, and Config drafts with a zero interval, TOP below ORIGIN and
    // the threshold above TOP.
    for (ErrorCode code = kErrIllegalArgument; code < 0; ++code)
        addLines(expected, errorCodeText(code));
    for (int key = 0; key < kSettingsKeyCount; ++key)
        for (const char *bad : {"-5", "0"})
            if (Settings values = defaultSettings(); const char *message = applySettingText(key, bad, values))
                addLines(expected, message);
    for (const ConfigDraft &draft : {ConfigDraft{60, 0, 1023, 0, 0, 0, 0}, ConfigDraft{60, 60, 400, 500, 0, 0, 0},
                                     ConfigDraft{60, 60, 800, 0, 900, 0, 1}})
        addLines(expected, configCheckMessage(draft));

    std::string manual = readFile(kManual);
    const std::string html = manual;
    for (const auto &[open, close] : {std::pair{"<!--", "-->"}, std::pair{"<style", "</style>"}})
        for (size_t at; (at = manual.find(open)) != std::string::npos;)
            manual.replace(at, manual.find(close, at) + std::string(close).size() - at, " ");
    manual = std::regex_replace(manual, std::regex("<[^>]*>"), " ");
    for (const auto &[entity, text] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&nbsp;", " "},
                                       {"&amp;", "&"}})
        manual = std::regex_replace(manual, std::regex(entity), text);
    manual = std::regex_replace(manual, std::regex("\\s+"), " ");
    for (const std::string &text : expected)
        EXPECT_NE(manual.find(text), std::string::npos) << "the manual does not name \"" << text << "\"";

    // The Graph window's labels in both modes, saving, with the trigger on;
    // numbers stand for any number ("Vref:1024.00" matches "Vref:2.00").
    Texts labels;
    SampleHistory history{};
    Settings settings = defaultSettings();
    settings.triggerEnabled = true;
    AppState app{};
    app.saving = 1;
    app.plotted[0] = app.plotted[4] = 1;
    const CircuitResult circuits[kCircuitCount] = {{1024.0f, 2.0f, 10}, {1024.0f, 1024.0f, 10}};
    for (int32_t mode : {kModeNormal, kModeDiffAmp}) {
        app.mode = mode;
        GraphPicture picture;
        GraphView view{500, 400, 3.0, 0};
        computeGraphPicture(picture, view, GraphSources{history, settings, app, circuits}, nullptr, nullptr);
        for (const GraphOp &op : picture.ops)
            if (const std::string text(picture.textOf(op), op.textLength);
                op.kind == GraphOpKind::text && !std::regex_match(text, std::regex("[0-9.]*")))  // grid and time axis
                addLines(labels, text);
    }
    for (const std::string &label : labels) {
        const std::string escaped = std::regex_replace(label, std::regex("[.^$|()\\[\\]{}*+?\\\\]"), "\\$&");
        EXPECT_TRUE(std::regex_search(manual, std::regex(std::regex_replace(escaped, std::regex("[0-9]+"), "[0-9]+"))))
            << "label \"" << label << "\"";
    }
    EXPECT_GE(labels.size(), 8u) << "Saving..., the trigger, CH and Vout labels, Vref and Gain as numbers and Inf";

    Texts ids;
    const std::regex id("\\bid=\"([^\"]+)\""), reference("\\b(href|src)=\"([^\"]*)\"");
    for (std::sregex_iterator it(html.begin(), html.end(), id), end; it != end; ++it)
        EXPECT_TRUE(ids.insert((*it)[1]).second) << "id \"" << (*it)[1] << "\" is unique";
    for (std::sregex_iterator it(html.begin(), html.end(), reference), end; it != end; ++it) {
        const std::string target = (*it)[2];
        EXPECT_TRUE(target[0] == '#' ? ids.count(target.substr(1)) > 0
                                     : target.rfind("screenshots/", 0) == 0 && target.find(':') == std::string::npos &&
                                           fs::is_regular_file(kManual.parent_path() / target))
            << target << " is an anchor of the manual or a file in screenshots/";
    }
}

}  // namespace
