// The operator's manual keeps up with the program: it names every text of
// the main dialog, its menu and the Config dialog, every message the program
// can show (caption and text, where plain ASCII) and the Graph window's
// labels; its links and pictures stay inside docs/manual.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "device/device_session.h"
#include "graph/graph_picture.h"
#include "settings/config_checks.h"
#include "settings/settings_parse.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

const fs::path kSourceDir = PV_SOURCE_DIR;
const fs::path kManualDir = kSourceDir / "docs" / "manual";

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The manual as a reader sees it: comments, style and tags dropped, the
// entities that can stand in a program text replaced, white space collapsed.
std::string manualText()
{
    std::string html = readFile(kManualDir / "PENDRA_VISUALIZER_HELP.html");
    // Long spans are cut without regular expressions, whose matching recurses per character.
    for (const auto &[open, close] : {std::pair{"<!--", "-->"}, std::pair{"<style", "</style>"}})
        for (size_t at = html.find(open); at != std::string::npos; at = html.find(open, at)) {
            const size_t end = html.find(close, at);
            html.replace(at, end == std::string::npos ? std::string::npos : end + std::strlen(close) - at, " ");
        }
    html = std::regex_replace(html, std::regex("<[^>]*>"), " ");
    const std::pair<const char *, const char *> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&nbsp;", " "}, {"&amp;", "&"}};
    for (const auto &[entity, text] : entities)
        html = std::regex_replace(html, std::regex(entity), text);
    return std::regex_replace(html, std::regex("\\s+"), " ");
}

// The C string literals from `at` to the end of the statement (the first
// semicolon outside a literal), unescaped; adjacent literals make one text.
Strings literals(const std::string &code, size_t at = 0)
{
    Strings texts;
    bool adjacent = false;
    for (; at < code.size() && code[at] != ';'; ++at) {
        if (code[at] != '"') {
            adjacent = adjacent && std::isspace(static_cast<unsigned char>(code[at]));
            continue;
        }
        std::string text;
        while (++at < code.size() && code[at] != '"') {
            if (code[at] != '\\') {
                text += code[at];
            } else if (code[++at] == 'n') {
                text += '\n';
            } else if (code[at] == 'x') {
                size_t digits = 0;
                text += static_cast<char>(std::stoi(code.substr(at + 1, 2), &digits, 16));
                at += digits;
            } else {
                text += code[at];
            }
        }
        if (adjacent)
            texts.back() += text;
        else
            texts.push_back(text);
        adjacent = true;
    }
    return texts;
}

std::string trimmed(std::string text)
{
    text.erase(0, text.find_first_not_of(" \t\r"));
    return text.erase(text.find_last_not_of(" \t\r") + 1);
}

// Adds each line of each text, trimmed, when it is plain ASCII and not empty.
void addLines(std::set<std::string> &expected, const Strings &texts)
{
    for (const std::string &text : texts) {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            line = trimmed(line);
            if (!line.empty() && std::none_of(line.begin(), line.end(), [](char c) { return c & 0x80; }))
                expected.insert(line);
        }
    }
}

Strings missingFromManual(const std::set<std::string> &expected)
{
    const std::string manual = manualText();
    Strings missing;
    std::copy_if(expected.begin(), expected.end(), std::back_inserter(missing),
                 [&](const std::string &text) { return manual.find(text) == std::string::npos; });
    return missing;
}

TEST(Manual, NamesEveryTextOfTheDialogTemplatesAndTheMenu)
{
    // Statements whose first argument, when quoted, is shown on screen.
    const std::regex statement(
        "^\\s*(CONTROL|LTEXT|GROUPBOX|PUSHBUTTON|DEFPUSHBUTTON|CAPTION|MENUITEM|POPUP)\\s+(\".*)$");
    std::set<std::string> expected;
    for (const char *name : {"main_dialog.rc", "config_dialog.rc", "graph_window.rc"}) {
        std::istringstream lines(readFile(kSourceDir / "src" / "resources" / name));
        for (std::string line; std::getline(lines, line);) {
            line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
            std::smatch match;
            if (!std::regex_match(line, match, statement))
                continue;
            std::string text = literals(match[2].str()).front();
            text.erase(std::remove(text.begin(), text.end(), '&'), text.end());  // menu accelerators
            addLines(expected, {text});
        }
    }
    ASSERT_GT(expected.size(), 40u) << "the templates were read";
    EXPECT_EQ(missingFromManual(expected), Strings{});
}

TEST(Manual, NamesEveryMessageAndButtonTextOfTheProgram)
{
    // Message boxes (text and caption) and the window texts the program sets: the literals of the call and of the
    // named constants (const char kName[] = "...";) of the same file that it uses.
    const std::regex call("\\b(MessageBoxA|messageBoxCp932|SetWindowTextA|SetDlgItemTextA)\\(");
    const std::regex constant("\\bk[A-Z][A-Za-z0-9]*\\b");
    std::set<std::string> expected;
    size_t literalMessages = 0;
    for (const auto &entry : fs::recursive_directory_iterator(kSourceDir / "src")) {
        if (entry.path().extension() != ".cpp")
            continue;
        const std::string file = readFile(entry.path());
        for (std::sregex_iterator it(file.begin(), file.end(), call), last; it != last; ++it) {
            const size_t start = static_cast<size_t>(it->position());
            Strings texts = literals(file, start);
            const std::string statement = file.substr(start, file.find(';', start) - start);
            for (std::sregex_iterator name(statement.begin(), statement.end(), constant); name != last; ++name) {
                const size_t definition = file.find("char " + name->str() + "[] =");
                if (definition != std::string::npos)
                    for (const std::string &text : literals(file, definition))
                        texts.push_back(text);
            }
            literalMessages += texts.size();
            addLines(expected, texts);
        }
    }
    ASSERT_GT(literalMessages, 20u) << "the message calls were found";

    // Texts that reach the message boxes through tables.
    for (ErrorCode code : {kErrNotOpen, kErrRemoved, kErrAlreadyOpened, kErrInitialWrite, kErrControlWrite,
                           kErrDataRead, kErrOpenFailed, kErrIllegalArgument})
        addLines(expected, {errorCodeText(code)});
    for (int key = 0; key < kSettingsKeyCount; ++key)
        for (const char *bad : {"-5", "0"}) {
            Settings values = defaultSettings();
            if (const char *message = applySettingText(key, bad, values))
                addLines(expected, {message});
        }
    // Drafts (NOWREAD, GETDATA, TOP, ORIGIN, threshold, channel, enabled) with a zero interval, TOP below ORIGIN
    // and the threshold above TOP.
    for (const ConfigDraft &draft : {ConfigDraft{60, 0, 1023, 0, 0, 0, 0}, ConfigDraft{60, 60, 400, 500, 0, 0, 0},
                                     ConfigDraft{60, 60, 800, 0, 900, 0, 1}})
        addLines(expected, {configCheckMessage(draft)});
    EXPECT_EQ(missingFromManual(expected), Strings{});
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
        GraphView view{500, 400, 3.0, 0};
        GraphPicture picture;
        computeGraphPicture(picture, view, GraphSources{history, settings, app, circuits}, nullptr, nullptr);
        for (const GraphOp &op : picture.ops) {
            if (op.kind != GraphOpKind::text)
                continue;
            std::string label(picture.textOf(op), op.textLength);
            label.erase(std::remove_if(label.begin(), label.end(), [](char c) { return (c & 0x80) != 0; }),
                        label.end());  // the trigger arrow
            if (label = trimmed(label); !std::regex_match(label, std::regex("[0-9.]*")))  // grid and time-axis numbers
                labels.insert(label);
        }
    }
    ASSERT_GE(labels.size(), 8u) << "Saving..., the trigger, CH and Vout labels, Vref and Gain as numbers and Inf";

    // Numbers stand for any number: "Vref:1024.00" in the manual matches "Vref:2.00".
    const std::string manual = manualText();
    for (const std::string &label : labels) {
        const std::string escaped = std::regex_replace(label, std::regex("[.^$|()\\[\\]{}*+?\\\\]"), "\\$&");
        const std::string pattern = std::regex_replace(escaped, std::regex("[0-9]+"), "[0-9]+");
        EXPECT_TRUE(std::regex_search(manual, std::regex(pattern))) << "label \"" << label << "\"";
    }
}

TEST(Manual, LinksAndPicturesStayInsideTheManualFolder)
{
    const std::string html = readFile(kManualDir / "PENDRA_VISUALIZER_HELP.html");
    std::set<std::string> ids;
    const std::regex id("\\bid=\"([^\"]+)\"");
    for (std::sregex_iterator it(html.begin(), html.end(), id), end; it != end; ++it) {
        EXPECT_TRUE(ids.insert((*it)[1]).second) << "id \"" << (*it)[1] << "\" is unique";
    }

    const std::regex reference("\\b(href|src)=\"([^\"]*)\"");
    for (std::sregex_iterator it(html.begin(), html.end(), reference), end; it != end; ++it) {
        const std::string target = (*it)[2];
        if (target.rfind('#', 0) == 0) {
            EXPECT_TRUE(ids.count(target.substr(1))) << "anchor " << target;
            continue;
        }
        EXPECT_EQ(target.find(':'), std::string::npos) << target << " is a local file";
        EXPECT_EQ(target.rfind("screenshots/", 0), 0u) << target << " lies in screenshots/";
        if (fs::is_directory(kManualDir / "screenshots")) {
            EXPECT_TRUE(fs::is_regular_file(kManualDir / target)) << target << " exists";
        }
    }
}

}  // namespace
