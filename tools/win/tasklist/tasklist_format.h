#pragma once
// What the task-list stand-in prints, apart from where the processes come
// from: its switches, its filters and the three output shapes of the
// system tool (table, list, CSV). Header-only and free of system calls so
// that the host tests read the stand-in's CSV with the stub's own reader.
#include <cstdint>
#include <string>
#include <vector>

namespace kv::tasklist {

struct Task {
    std::string image;  // empty for the idle process
    uint32_t pid = 0;
    uint32_t session = 0;
    uint64_t workingSet = 0;  // bytes
};

enum class Format { Table, List, Csv };

struct Filter {
    std::string name;  // upper case: IMAGENAME, PID, SESSION, SESSIONNAME, MEMUSAGE
    std::string op;    // upper case: EQ, NE, GT, LT, GE, LE
    std::string value;
};

struct Options {
    Format format = Format::Table;
    bool noHeader = false;
    bool help = false;
    std::vector<Filter> filters;
};

inline std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

inline std::string Decimal(uint64_t n) { return std::to_string(n); }

// The image name as the tool shows it.
inline std::string ImageName(const Task& t) {
    if (!t.image.empty()) return t.image;
    return t.pid == 0 ? "System Idle Process" : "System";
}

// The session's name: session 0 holds the services.
inline std::string SessionName(const Task& t) { return t.session == 0 ? "Services" : "Console"; }

// The working set in kilobytes with thousands separators: "12,345 K".
inline std::string MemText(uint64_t bytes) {
    const std::string digits = Decimal(bytes / 1024);
    std::string r;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) r += ',';
        r += digits[i];
    }
    return r + " K";
}

// Reads a filter such as "IMAGENAME eq notepad.exe"; false when it is not
// one the tool knows.
inline bool ParseFilter(const std::string& text, Filter& f) {
    const size_t a = text.find_first_not_of(' ');
    if (a == std::string::npos) return false;
    const size_t b = text.find(' ', a);
    if (b == std::string::npos) return false;
    const size_t c = text.find_first_not_of(' ', b);
    if (c == std::string::npos) return false;
    const size_t d = text.find(' ', c);
    if (d == std::string::npos) return false;
    const size_t e = text.find_first_not_of(' ', d);
    if (e == std::string::npos) return false;
    f.name = Upper(text.substr(a, b - a));
    f.op = Upper(text.substr(c, d - c));
    f.value = text.substr(e);
    while (!f.value.empty() && f.value.back() == ' ') f.value.pop_back();
    const bool numeric = f.name == "PID" || f.name == "SESSION" || f.name == "MEMUSAGE";
    const bool textual = f.name == "IMAGENAME" || f.name == "SESSIONNAME";
    if (!numeric && !textual) return false;
    const bool equality = f.op == "EQ" || f.op == "NE";
    const bool order = f.op == "GT" || f.op == "LT" || f.op == "GE" || f.op == "LE";
    if (!(equality || (numeric && order))) return false;
    if (numeric)
        return !f.value.empty() && f.value.size() <= 19 &&
               f.value.find_first_not_of("0123456789") == std::string::npos;
    return true;
}

// Whether the task passes the filter. Texts compare ignoring case; a
// trailing '*' matches any rest.
inline bool Passes(const Task& t, const Filter& f) {
    bool equal = false;
    int order = 0;
    if (f.name == "IMAGENAME" || f.name == "SESSIONNAME") {
        const std::string have = Upper(f.name == "IMAGENAME" ? ImageName(t) : SessionName(t));
        std::string want = Upper(f.value);
        if (!want.empty() && want.back() == '*') {
            want.pop_back();
            equal = have.compare(0, want.size(), want) == 0;
        } else {
            equal = have == want;
        }
    } else {
        const uint64_t have = f.name == "PID" ? t.pid : f.name == "SESSION" ? t.session : t.workingSet / 1024;
        const uint64_t want = std::stoull(f.value);
        equal = have == want;
        order = have < want ? -1 : have > want ? 1 : 0;
    }
    if (f.op == "EQ") return equal;
    if (f.op == "NE") return !equal;
    if (f.op == "GT") return order > 0;
    if (f.op == "LT") return order < 0;
    if (f.op == "GE") return order >= 0;
    return order <= 0;  // LE
}

// Reads the switches (after the program name); on failure `error` holds
// the tool's message.
inline bool ParseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string sw = Upper(arg);
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        if (sw == "/?" || sw == "-?") {
            o.help = true;
        } else if (sw == "/NH" || sw == "-NH") {
            o.noHeader = true;
        } else if (sw == "/FO" || sw == "-FO") {
            std::string f;
            if (!value(f)) {
                error = "ERROR: Invalid syntax. Value expected for '" + arg + "'.";
                return false;
            }
            const std::string u = Upper(f);
            if (u == "TABLE") o.format = Format::Table;
            else if (u == "LIST") o.format = Format::List;
            else if (u == "CSV") o.format = Format::Csv;
            else {
                error = "ERROR: Invalid argument/option - '" + f + "'.";
                return false;
            }
        } else if (sw == "/FI" || sw == "-FI") {
            std::string text;
            Filter f;
            if (!value(text)) {
                error = "ERROR: Invalid syntax. Value expected for '" + arg + "'.";
                return false;
            }
            if (!ParseFilter(text, f)) {
                error = "ERROR: The search filter cannot be recognized.";
                return false;
            }
            o.filters.push_back(f);
        } else {
            error = "ERROR: Invalid argument/option - '" + arg + "'.";
            return false;
        }
    }
    if (o.noHeader && o.format == Format::List) {
        error = "ERROR: Invalid syntax. /NH option is valid only for \"TABLE\" and \"CSV\" formats.";
        return false;
    }
    return true;
}

inline std::string PadRight(std::string s, size_t width) {
    if (s.size() > width) s.resize(width);
    return s + std::string(width - s.size(), ' ');
}

inline std::string PadLeft(const std::string& s, size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

inline std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// Everything the tool prints for these tasks and switches, with CR LF line
// ends, in the order of `tasks`.
inline std::string Render(const std::vector<Task>& tasks, const Options& o) {
    std::vector<const Task*> shown;
    for (const Task& t : tasks) {
        bool pass = true;
        for (const Filter& f : o.filters) pass = pass && Passes(t, f);
        if (pass) shown.push_back(&t);
    }
    if (shown.empty()) return "INFO: No tasks are running which match the specified criteria.\r\n";
    std::string out;
    switch (o.format) {
    case Format::Csv:
        if (!o.noHeader) out += "\"Image Name\",\"PID\",\"Session Name\",\"Session#\",\"Mem Usage\"\r\n";
        for (const Task* t : shown)
            out += Quoted(ImageName(*t)) + "," + Quoted(Decimal(t->pid)) + "," + Quoted(SessionName(*t)) + "," +
                   Quoted(Decimal(t->session)) + "," + Quoted(MemText(t->workingSet)) + "\r\n";
        break;
    case Format::Table:
        out += "\r\n";
        if (!o.noHeader) {
            out += PadRight("Image Name", 25) + " " + PadLeft("PID", 8) + " " + PadRight("Session Name", 16) + " " +
                   PadLeft("Session#", 11) + " " + PadLeft("Mem Usage", 12) + "\r\n";
            out += std::string(25, '=') + " " + std::string(8, '=') + " " + std::string(16, '=') + " " +
                   std::string(11, '=') + " " + std::string(12, '=') + "\r\n";
        }
        for (const Task* t : shown)
            out += PadRight(ImageName(*t), 25) + " " + PadLeft(Decimal(t->pid), 8) + " " +
                   PadRight(SessionName(*t), 16) + " " + PadLeft(Decimal(t->session), 11) + " " +
                   PadLeft(MemText(t->workingSet), 12) + "\r\n";
        break;
    case Format::List:
        for (const Task* t : shown) {
            out += "\r\n";
            out += "Image Name:   " + ImageName(*t) + "\r\n";
            out += "PID:          " + Decimal(t->pid) + "\r\n";
            out += "Session Name: " + SessionName(*t) + "\r\n";
            out += "Session#:     " + Decimal(t->session) + "\r\n";
            out += "Mem Usage:    " + MemText(t->workingSet) + "\r\n";
        }
        break;
    }
    return out;
}

}  // namespace kv::tasklist
