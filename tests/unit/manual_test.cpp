// The operator's manual keeps up with the program: it names every text of
// the dialog templates and the menu, every message the program can show
// (where plain ASCII) and the Graph window's labels; its links and pictures
// stay inside docs/manual.
#include <gtest/gtest.h>

#include <algorithm>
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
const fs::path kSourceDir = PV_SOURCE_DIR;
const fs::path kManual = kSourceDir / "docs" / "manual" / "PENDRA_VISUALIZER_HELP.html";

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The manual as a reader sees it: comments, style and tags dropped, entities
// replaced, white space collapsed.  Long spans are cut by hand: regular
// expression matching recurses per character.
std::string manualText()
{
    std::string html = readFile(kManual);
    for (const auto &[open, close] : {std::pair{"<!--", "-->"}, std::pair{"<style", "</style>"}})
        for (size_t at; (at = html.find(open)) != std::string::npos;)
            html.replace(at, html.find(close, at) + std::string(close).size() - at, " ");
    html = std::regex_replace(html, std::regex("<[^>]*>"), " ");
    for (const auto &[entity, text] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&nbsp;", " "},
                                       {"&amp;", "&"}})
        html = std::regex_replace(html, std::regex(entity), text);
    return std::regex_replace(html, std::regex("\\s+"), " ");
}

// The string literals of the statement starting at `at`, unescaped; adjacent
// literals make one text.
std::vector<std::string> literals(const std::string &code, size_t at)
{
    std::vector<std::string> texts;
    bool adjacent = false;
    for (; at < code.size() && code[at] != ';'; ++at) {
        if (code[at] != '"') {
            adjacent = adjacent && std::isspace(static_cast<unsigned char>(code[at]));
            continue;
        }
        std::string text;
        for (++at; at < code.size() && code[at] != '"'; ++at) {
            if (code[at] != '\\')
                text += code[at];
            else if (code[++at] == 'n')
                text += '\n';
            else if (code[at] == 'x')
                text += static_cast<char>(std::stoi(code.substr(at + 1, 2), nullptr, 16)), at += 2;
            else
                text += code[at];
        }
        if (adjacent)
            texts.back() += text;
        else
            texts.push_back(text);
        adjacent = true;
    }
    return texts;
}

// Each non-empty line of the texts, trimmed, when it is plain ASCII.
void addLines(std::set<std::string> &expected, const std::vector<std::string> &texts)
{
    for (const std::string &text : texts) {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            line = std::regex_replace(line, std::regex("^[ \t\r]+|[ \t\r]+$"), "");
            if (!line.empty() && std::none_of(line.begin(), line.end(), [](char c) { return c & 0x80; }))
                expected.insert(line);
        }
    }
}

TEST(Manual, NamesEveryTextOfTheTemplatesTheMenuAndTheMessages)
{
    std::set<std::string> expected;
    // Template statements whose first argument, when quoted, is shown on screen.
    const std::regex statement("^\\s*(CONTROL|LTEXT|GROUPBOX|PUSHBUTTON|DEFPUSHBUTTON|CAPTION|MENUITEM|POPUP)\\s+\"");
    for (const char *name : {"main_dialog.rc", "config_dialog.rc", "graph_window.rc"}) {
        std::istringstream lines(readFile(kSourceDir / "src" / "resources" / name));
        for (std::string line; std::getline(lines, line);)
            if (std::smatch match; std::regex_search(line, match, statement)) {
                std::string text = literals(line, static_cast<size_t>(match.position(0) + match.length(0) - 1)).front();
                text.erase(std::remove(text.begin(), text.end(), '&'), text.end());  // menu accelerators
                addLines(expected, {text});
            }
    }
    const size_t templateTexts = expected.size();
    EXPECT_GT(templateTexts, 40u) << "the templates were read";

    // Message boxes and window texts the program sets: the literals of the
    // call and of the named constants (const char kName[] = "...") it uses.
    const std::regex call("\\b(MessageBox[AW]|messageBoxCp932|SetWindowTextA|SetDlgItemTextA)\\(");
    const std::regex constant("\\bk[A-Z][A-Za-z0-9]*\\b");
    for (const auto &entry : fs::recursive_directory_iterator(kSourceDir / "src")) {
        const std::string file = entry.path().extension() == ".cpp" ? readFile(entry.path()) : "";
        for (std::sregex_iterator it(file.begin(), file.end(), call), last; it != last; ++it) {
            const size_t start = static_cast<size_t>(it->position());
            addLines(expected, literals(file, start));
            const std::string args = file.substr(start, file.find(';', start) - start);
            for (std::sregex_iterator name(args.begin(), args.end(), constant); name != last; ++name)
                if (const size_t at = file.find("char " + name->str() + "[] ="); at != std::string::npos)
                    addLines(expected, literals(file, at));
        }
    }
    EXPECT_GT(expected.size(), templateTexts + 15) << "the message calls were found";

    // Texts that reach the message boxes through tables.
    for (ErrorCode code : {kErrNotOpen, kErrRemoved, kErrAlreadyOpened, kErrInitialWrite, kErrControlWrite,
                           kErrDataRead, kErrOpenFailed, kErrIllegalArgument})
        addLines(expected, {errorCodeText(code)});
    for (int key = 0; key < kSettingsKeyCount; ++key)
        for (const char *bad : {"-5", "0"})
            if (Settings values = defaultSettings(); const char *message = applySettingText(key, bad, values))
                addLines(expected, {message});
    // Drafts (NOWREAD, GETDATA, TOP, ORIGIN, threshold, channel, enabled): a
    // zero interval, TOP below ORIGIN, the threshold above TOP.
    for (const ConfigDraft &draft : {ConfigDraft{60, 0, 1023, 0, 0, 0, 0}, ConfigDraft{60, 60, 400, 500, 0, 0, 0},
                                     ConfigDraft{60, 60, 800, 0, 900, 0, 1}})
        addLines(expected, {configCheckMessage(draft)});

    const std::string manual = manualText();
    for (const std::string &text : expected)
        EXPECT_NE(manual.find(text), std::string::npos) << "the manual does not name \"" << text << "\"";
}

TEST(Manual, ShowsTheGraphWindowsLabelsInTheirForm)
{
    SampleHistory history{};
    Settings settings = defaultSettings();
    settings.triggerEnabled = true;
    AppState app{};
    app.saving = 1;
    app.plotted[0] = app.plotted[4] = 1;
    const CircuitResult circuits[kCircuitCount] = {{1024.0f, 2.0f, 10}, {1024.0f, 1024.0f, 10}};
    std::set<std::string> labels;
    for (int32_t mode : {kModeNormal, kModeDiffAmp}) {
        app.mode = mode;
        GraphPicture picture;
        GraphView view{500, 400, 3.0, 0};
        computeGraphPicture(picture, view, GraphSources{history, settings, app, circuits},
                            nullptr, nullptr);
        for (const GraphOp &op : picture.ops)
            if (op.kind == GraphOpKind::text)
                addLines(labels, {std::string(picture.textOf(op), op.textLength)});
    }
    // Numbers stand for any number: "Vref:1024.00" in the manual matches "Vref:2.00".
    const std::string manual = manualText();
    size_t named = 0;
    for (const std::string &label : labels) {
        if (std::regex_match(label, std::regex("[0-9.]*")))  // grid and time-axis numbers
            continue;
        const std::string escaped = std::regex_replace(label, std::regex("[.^$|()\\[\\]{}*+?\\\\]"), "\\$&");
        EXPECT_TRUE(std::regex_search(manual, std::regex(std::regex_replace(escaped, std::regex("[0-9]+"), "[0-9]+"))))
            << "label \"" << label << "\"";
        ++named;
    }
    EXPECT_GE(named, 8u) << "Saving..., the trigger, CH and Vout labels, Vref and Gain as numbers and Inf";
}

TEST(Manual, LinksAndPicturesStayInsideTheManualFolder)
{
    const std::string html = readFile(kManual);
    std::set<std::string> ids;
    const std::regex id("\\bid=\"([^\"]+)\""), reference("\\b(href|src)=\"([^\"]*)\"");
    for (std::sregex_iterator it(html.begin(), html.end(), id), end; it != end; ++it)
        EXPECT_TRUE(ids.insert((*it)[1]).second) << "id \"" << (*it)[1] << "\" is unique";
    for (std::sregex_iterator it(html.begin(), html.end(), reference), end; it != end; ++it) {
        const std::string target = (*it)[2];
        if (target.rfind('#', 0) == 0)
            EXPECT_TRUE(ids.count(target.substr(1))) << "anchor " << target;
        else
            EXPECT_TRUE(target.rfind("screenshots/", 0) == 0 && target.find(':') == std::string::npos &&
                        fs::is_regular_file(kManual.parent_path() / target))
                << target << " is a file in screenshots/";
    }
}

}  // namespace
