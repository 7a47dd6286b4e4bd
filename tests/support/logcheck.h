// The one check of a debug log for the native and the Windows tests. It
// answers as a GoogleTest assertion result, so a failing
//     EXPECT_TRUE(logcheck::contains(log, "numfiles=2\r\n"));
// (or a fixture's logged() that returns it) says what the log held instead:
// the lines nearest to the one expected with their neighbours, or the log's
// tail; a failing EXPECT_FALSE says on which line the text stands.
//   contains(log, text)          the text anywhere in the log (a piece of a line, or
//                                several lines with their CR LF)
//   contains_line(lines, line)   one of the lines is exactly this (painted log lines)
//   starts_line(lines, start)    one of the lines starts so
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

namespace logcheck {

// The log's lines without their CR LF.
inline std::vector<std::string> lines_of(const std::string& log)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < log.size()) {
        std::size_t end = log.find('\n', at);
        if (end == std::string::npos) end = log.size();
        std::string line = log.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

inline std::size_t common_start(const std::string& a, const std::string& b)
{
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

// The neighbourhood of the lines that begin most like the text (at least four
// characters alike), or the last lines of the log when none does.
inline std::string nearby(const std::vector<std::string>& lines, const std::string& text)
{
    const std::string first = lines_of(text).empty() ? text : lines_of(text).front();
    std::size_t best = 0;
    for (const std::string& l : lines) best = std::max(best, common_start(l, first));
    std::ostringstream out;
    std::vector<bool> shown(lines.size(), false);
    if (best >= 4 || (best > 0 && best == first.size())) {
        out << "the lines nearest to it:\n";
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (common_start(lines[i], first) != best) continue;
            for (std::size_t j = i >= 2 ? i - 2 : 0; j < lines.size() && j <= i + 2; ++j) shown[j] = true;
        }
    } else {
        out << "the log's last lines:\n";
        for (std::size_t j = lines.size() >= 12 ? lines.size() - 12 : 0; j < lines.size(); ++j) shown[j] = true;
    }
    bool gap = false;
    for (std::size_t j = 0; j < lines.size(); ++j) {
        if (!shown[j]) {
            gap = true;
            continue;
        }
        if (gap) out << "    ...\n";
        gap = false;
        out << "  " << j + 1 << ": " << lines[j] << "\n";
    }
    if (lines.empty()) out << "  (the log is empty)\n";
    return out.str();
}

inline std::string shown(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return "\"" + out + "\"";
}

inline ::testing::AssertionResult contains(const std::string& log, const std::string& text)
{
    std::size_t at = log.find(text);
    if (at == std::string::npos)
        return ::testing::AssertionFailure() << "the log lacks " << shown(text) << "; "
                                             << nearby(lines_of(log), text);
    const std::size_t line = std::size_t(std::count(log.begin(), log.begin() + std::ptrdiff_t(at), '\n')) + 1;
    return ::testing::AssertionSuccess() << "the log has " << shown(text) << " in line " << line << ": "
                                         << lines_of(log)[line - 1];
}

inline ::testing::AssertionResult contains_line(const std::vector<std::string>& lines, const std::string& line)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == line)
            return ::testing::AssertionSuccess() << "the log has the line " << shown(line) << " as line " << i + 1;
    return ::testing::AssertionFailure() << "the log lacks the line " << shown(line) << "; " << nearby(lines, line);
}

inline ::testing::AssertionResult starts_line(const std::vector<std::string>& lines, const std::string& start)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].compare(0, start.size(), start) == 0)
            return ::testing::AssertionSuccess() << "line " << i + 1 << " starts with " << shown(start) << ": "
                                                 << lines[i];
    return ::testing::AssertionFailure() << "no line of the log starts with " << shown(start) << "; "
                                         << nearby(lines, start);
}

}  // namespace logcheck
