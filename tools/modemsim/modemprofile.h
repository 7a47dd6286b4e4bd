// A simulated modem: the profile format and the engine that answers commands.
// Header-only, standard C++ only, so that both the pseudo-terminal program and
// the native test double play exactly the same modem. Time is whatever clock
// the caller passes in (milliseconds).
#pragma once
#include <cctype>
#include <cstdint>
#include <deque>
#include <fstream>
#include <istream>
#include <sstream>
#include <string>
#include <vector>

namespace modemsim {

// One piece of an answer: an information line framed as CR LF text CR LF, or raw bytes.
struct answer_part {
    std::string text;
    bool framed;
};

struct command_rule {
    std::string command;              // compared without regard to case
    std::vector<answer_part> answers;
    bool hasfinal = false;
    std::string final;                // empty: no final result code
    long delay = -1;                  // -1: the profile's
    long split = -1;
    long gap = -1;
    long ignore = 0;                  // this many receipts get no reaction at all
    bool stream = false;              // voice data follows the final result
    unsigned char streambyte = 0;
    long streamcount = 0;
    bool streamend = true;            // DLE ETX after the data
    bool cancelends = true;           // NUL DLE CAN ends the data with DLE ETX
    long seen = 0;
};

struct profile {
    std::string name;
    bool echo = true;
    std::string unknown = "ERROR";    // final result of commands without a rule; empty = none
    long delay = 20;                  // ms from the CR to the first answer byte
    long split = 0;                   // bytes per write; 0 = the whole answer at once
    long gap = 5;                     // ms between the writes of a split answer
    std::vector<command_rule> rules;
};

inline std::string trim(const std::string& s)
{
    std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    std::size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

inline std::string upper(std::string s)
{
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// \r, \n, \t, \\ and \xHH in answer texts.
inline bool unescape(const std::string& in, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '\\') {
            out += in[i];
            continue;
        }
        if (++i >= in.size()) return false;
        switch (in[i]) {
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case '\\': out += '\\'; break;
        case 'x': {
            if (i + 2 >= in.size()) return false;
            std::string hex = in.substr(i + 1, 2);
            if (hex.size() != 2 || !std::isxdigit(static_cast<unsigned char>(hex[0])) ||
                !std::isxdigit(static_cast<unsigned char>(hex[1])))
                return false;
            out += char(std::stoi(hex, nullptr, 16));
            i += 2;
            break;
        }
        default: return false;
        }
    }
    return true;
}

inline bool number(const std::string& text, long low, long high, long& value)
{
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = std::stol(text);
    return value >= low && value <= high;
}

inline bool onoff(const std::string& text, bool& value)
{
    std::string t = upper(text);
    if (t == "ON" || t == "YES") value = true;
    else if (t == "OFF" || t == "NO") value = false;
    else return false;
    return true;
}

// A final result code: OK, ERROR, none, or any other text (CONNECT, VCON ...).
inline std::string resultcode(const std::string& text) { return upper(text) == "NONE" ? "" : text; }

inline bool parse_profile(std::istream& in, profile& p, std::string& error)
{
    p = profile();
    command_rule* rule = nullptr;
    std::string line;
    for (int lineno = 1; std::getline(in, line); ++lineno) {
        std::string where = "line " + std::to_string(lineno) + ": ";
        std::string t = trim(line);
        if (t.empty() || t[0] == '#' || t[0] == ';') continue;
        if (t.front() == '[') {
            if (t.back() != ']' || t.size() < 3) {
                error = where + "bad command section";
                return false;
            }
            p.rules.emplace_back();
            rule = &p.rules.back();
            rule->command = trim(t.substr(1, t.size() - 2));
            continue;
        }
        std::size_t eq = t.find('=');
        if (eq == std::string::npos) {
            error = where + "expected key = value";
            return false;
        }
        std::string key = upper(trim(t.substr(0, eq)));
        std::string value = trim(t.substr(eq + 1));
        bool ok = true;
        if (!rule) {
            if (key == "NAME") p.name = value;
            else if (key == "ECHO") ok = onoff(value, p.echo);
            else if (key == "UNKNOWN") p.unknown = resultcode(value);
            else if (key == "DELAY") ok = number(value, 0, 600000, p.delay);
            else if (key == "SPLIT") ok = number(value, 0, 4096, p.split);
            else if (key == "GAP") ok = number(value, 0, 600000, p.gap);
            else ok = false;
        } else if (key == "ANSWER" || key == "RAW") {
            std::string bytes;
            ok = unescape(value, bytes);
            if (ok) rule->answers.push_back({bytes, key == "ANSWER"});
        } else if (key == "FINAL") {
            rule->hasfinal = true;
            rule->final = resultcode(value);
        } else if (key == "DELAY") {
            ok = number(value, 0, 600000, rule->delay);
        } else if (key == "SPLIT") {
            ok = number(value, 0, 4096, rule->split);
        } else if (key == "GAP") {
            ok = number(value, 0, 600000, rule->gap);
        } else if (key == "IGNORE") {
            ok = number(value, 0, 1000000, rule->ignore);
        } else if (key == "STREAM") {
            std::istringstream parts(value);
            std::string byte, count;
            long b = 0;
            parts >> byte >> count;
            ok = byte.size() == 2 && std::isxdigit(static_cast<unsigned char>(byte[0])) &&
                 std::isxdigit(static_cast<unsigned char>(byte[1])) && number(count, 0, 1000000, rule->streamcount);
            if (ok) {
                b = std::stol(byte, nullptr, 16);
                rule->streambyte = static_cast<unsigned char>(b);
                rule->stream = true;
            }
        } else if (key == "STREAMEND") {
            std::string v = upper(value);
            ok = v == "DLE-ETX" || v == "NONE";
            rule->streamend = v == "DLE-ETX";
        } else if (key == "ONCANCEL") {
            std::string v = upper(value);
            ok = v == "DLE-ETX" || v == "IGNORE";
            rule->cancelends = v == "DLE-ETX";
        } else {
            ok = false;
        }
        if (!ok) {
            error = where + "bad value for " + key;
            return false;
        }
    }
    return true;
}

inline bool load_profile(const std::string& path, profile& p, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    if (!parse_profile(in, p, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

struct timed_output {
    std::uint64_t at;
    std::string bytes;
    bool voicedata;  // part of a voice data stream, which a cancel cuts short
};

class engine {
public:
    explicit engine(profile p = profile()) : prof(std::move(p)) {}

    // Bytes from the host at time `now`.
    void receive(const std::string& bytes, std::uint64_t now)
    {
        for (char c : bytes) {
            if (streaming_) {
                watch_cancel(c, now);
                continue;
            }
            if (c == '\r') {
                std::string command = trim(line_);
                line_.clear();
                if (!command.empty()) answer(command, now);
            } else if (static_cast<unsigned char>(c) >= 0x20 && line_.size() < 1024) {
                line_ += c;
            }
        }
    }

    // Bytes due by `now`, in order.
    std::string take_due(std::uint64_t now)
    {
        std::string out;
        while (!pending_.empty() && pending_.front().at <= now) {
            out += pending_.front().bytes;
            if (pending_.front().voicedata) --voicepending_;
            pending_.pop_front();
        }
        if (streaming_ && !has_voicedata()) streaming_ = false;
        return out;
    }

    bool next_due(std::uint64_t& at) const
    {
        if (pending_.empty()) return false;
        at = pending_.front().at;
        return true;
    }

    // DTR dropped or the port closed: the call ends, nothing more is sent.
    void hangup()
    {
        pending_.clear();
        voicepending_ = 0;
        line_.clear();
        streaming_ = false;
        watch_.clear();
    }

    bool streaming() const { return streaming_; }

    profile prof;
    std::vector<std::string> commands;  // every command line received, in order
    int cancels = 0;                    // NUL DLE CAN sequences seen during voice data

private:
    void schedule(std::uint64_t at, const std::string& bytes, bool voicedata)
    {
        if (bytes.empty()) return;
        // Keep the list in time order: output never overtakes earlier output.
        if (!pending_.empty() && pending_.back().at > at) at = pending_.back().at;
        pending_.push_back({at, bytes, voicedata});
        if (voicedata) ++voicepending_;
    }

    // Counted rather than searched for: the host polls every millisecond while hundreds of
    // one-byte writes may be pending.
    bool has_voicedata() const { return voicepending_ > 0; }

    void answer(const std::string& command, std::uint64_t now)
    {
        commands.push_back(command);
        command_rule* rule = nullptr;
        for (command_rule& r : prof.rules)
            if (upper(r.command) == upper(command)) {
                rule = &r;
                break;
            }
        if (rule && rule->seen++ < rule->ignore) return;
        if (prof.echo) schedule(now, command + "\r", false);

        std::string text;
        std::string final = prof.unknown;
        if (rule) {
            for (const answer_part& part : rule->answers) text += part.framed ? "\r\n" + part.text + "\r\n" : part.text;
            final = rule->hasfinal ? rule->final : std::string("OK");
        }
        if (!final.empty()) text += "\r\n" + final + "\r\n";
        long delay = rule && rule->delay >= 0 ? rule->delay : prof.delay;
        long split = rule && rule->split >= 0 ? rule->split : prof.split;
        long gap = rule && rule->gap >= 0 ? rule->gap : prof.gap;
        std::uint64_t at = now + std::uint64_t(delay);
        if (split <= 0) split = long(text.size() ? text.size() : 1);
        for (std::size_t i = 0; i < text.size(); i += std::size_t(split), at += std::uint64_t(gap))
            schedule(at, text.substr(i, std::size_t(split)), false);
        if (rule && rule->stream) start_stream(*rule, at);
    }

    void start_stream(const command_rule& rule, std::uint64_t at)
    {
        // Voice data at about 4000 bytes a second, in blocks of 32.
        const long BLOCK = 32, BLOCKMS = 8;
        streaming_ = true;
        watch_.clear();
        cancelends_ = rule.cancelends;
        long left = rule.streamcount;
        while (left > 0) {
            long n = left < BLOCK ? left : BLOCK;
            schedule(at, std::string(std::size_t(n), char(rule.streambyte)), true);
            left -= n;
            at += BLOCKMS;
        }
        if (rule.streamend) schedule(at, std::string("\x10\x03", 2), true);
        if (!has_voicedata()) streaming_ = false;
    }

    void watch_cancel(char c, std::uint64_t now)
    {
        watch_ += c;
        if (watch_.size() > 3) watch_.erase(0, watch_.size() - 3);
        if (watch_ != std::string("\x00\x10\x18", 3)) return;
        watch_.clear();
        ++cancels;
        if (!cancelends_) return;
        std::deque<timed_output> kept;
        for (timed_output& o : pending_)
            if (!o.voicedata) kept.push_back(o);
        pending_.swap(kept);
        voicepending_ = 0;
        schedule(now + 2, std::string("\x10\x03", 2), false);
        streaming_ = false;
    }

    std::string line_;
    bool streaming_ = false;
    bool cancelends_ = true;
    std::string watch_;
    std::deque<timed_output> pending_;
    std::size_t voicepending_ = 0;  // entries of pending_ that are voice data
};

}  // namespace modemsim
