#pragma once
// fluvena-batch run as a program: a scratch directory whose "fakes" come
// first on PATH (stand-in engines), the process with its output in files,
// and just enough of a JSON reader for what it prints: objects, arrays,
// strings, numbers, true, false and null. Numbers are read back with from_chars, so a
// printed double compares exactly with the value it came from.
#include "base/MemoText.h"
#include "io/FileIO.h"
#include "../TestData.h"

#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <utility>
#include <vector>

extern char** environ;

namespace minijson {

struct Value {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool flag = false;
    double number = 0.0;
    std::string text;
    std::vector<Value> items;
    std::map<std::string, Value> fields;

    const Value& operator[](const std::string& key) const
    {
        const auto it = fields.find(key);
        if (it == fields.end()) throw std::runtime_error("no field " + key);
        return it->second;
    }
    const Value& operator[](std::size_t i) const { return items.at(i); }
    // A number field; null stands for a value that was not finite.
    double Num() const { return kind == Kind::Null ? NAN : number; }
};

struct Reader {
    std::string_view s_;
    std::size_t p_ = 0;

    [[noreturn]] void Fail() { throw std::runtime_error("bad JSON at " + std::to_string(p_) + ": " + std::string(s_)); }
    bool Eat(char c) { return p_ < s_.size() && s_[p_] == c ? (++p_, true) : false; }
    void Expect(char c) { Eat(c) ? void() : Fail(); }
    std::string String()
    {
        Expect('"');
        std::string out;
        while (p_ < s_.size() && s_[p_] != '"') {
            if (const char c = s_[p_++]; c != '\\') {
                out += c;
                continue;
            }
            const char e = p_ < s_.size() ? s_[p_++] : '?';
            static constexpr std::string_view from = "\"\\/nrtbf", to = "\"\\/\n\r\t\b\f";
            if (const auto k = from.find(e); k != std::string_view::npos) {
                out += to[k];
                continue;
            }
            unsigned cp = 0;
            const std::string_view hex = s_.substr(p_, 4);
            const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), cp, 16);
            // The writer escapes control characters and U+FFFD only.
            if (e != 'u' || end != hex.data() + 4 || (cp >= 0x20 && cp != 0xFFFD)) Fail();
            p_ += 4;
            out += cp < 0x20 ? std::string(1, static_cast<char>(cp)) : "\xEF\xBF\xBD";
        }
        Expect('"');
        return out;
    }
    Value Parse()
    {
        Value v;
        if (Eat('{')) {
            v.kind = Value::Kind::Object;
            if (Eat('}')) return v;
            do {
                std::string key = String();
                Expect(':');
                v.fields[key] = Parse();
            } while (Eat(','));
            Expect('}');
        } else if (Eat('[')) {
            v.kind = Value::Kind::Array;
            if (Eat(']')) return v;
            do v.items.push_back(Parse());
            while (Eat(','));
            Expect(']');
        } else if (p_ < s_.size() && s_[p_] == '"') {
            v.kind = Value::Kind::String;
            v.text = String();
        } else if (s_.substr(p_, 4) == "null") {
            p_ += 4;
        } else if (s_.substr(p_, 4) == "true" || s_.substr(p_, 5) == "false") {
            v.kind = Value::Kind::Bool;
            v.flag = s_[p_] == 't';
            p_ += v.flag ? 4 : 5;
        } else {
            v.kind = Value::Kind::Number;
            const auto r = std::from_chars(s_.data() + p_, s_.data() + s_.size(), v.number);
            if (r.ec != std::errc() || r.ptr == s_.data() + p_) Fail();
            p_ = static_cast<std::size_t>(r.ptr - s_.data());
        }
        return v;
    }
};

inline Value Parse(std::string_view text)
{
    Reader r{text};
    Value v = r.Parse();
    if (r.p_ != text.size()) r.Fail();
    return v;
}

}  // namespace minijson

namespace fluvena::testing {

// A stand-in engine program (a shell script) in the directory's fakes.
inline void FakeEngine(const TempDir& dir, const std::string& program, const std::string& body)
{
    std::filesystem::create_directories(dir.path / "fakes");
    const auto file = dir.path / "fakes" / program;
    std::ofstream(file) << "#!/bin/sh\n" << body;
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
}

// fluvena-batch in the background; `name` names its output files in dir.
class BatchProcess {
public:
    BatchProcess(const TempDir& dir, const std::string& name, std::vector<std::string> args,
                 const std::string& tmp = "")
        : out_((dir.path / name).string() + ".out"), err_((dir.path / name).string() + ".err")
    {
        args.insert(args.begin(), {"env", "PATH=" + (dir.path / "fakes").string() + ":" + std::getenv("PATH"),
                                   "TMPDIR=" + (tmp.empty() ? std::filesystem::temp_directory_path().string() : tmp),
                                   FLUVENA_BATCH_EXE});
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t io;
        posix_spawn_file_actions_init(&io);
        posix_spawn_file_actions_addopen(&io, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&io, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::posix_spawnp(&pid_, "env", &io, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&io);
    }
    ~BatchProcess()
    {
        if (pid_ > 0) ::kill(pid_, SIGKILL), Wait();
    }
    // The exit status, or 128 + n after signal n (-1 when it could not run).
    int Wait()
    {
        int st = 0;
        if (pid_ > 0 && ::waitpid(std::exchange(pid_, -1), &st, 0) > 0)
            status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        return status_;
    }
    pid_t Pid() const { return pid_; }
    std::string Out() const { return ReadFile(out_); }
    std::string Err() const { return ReadFile(err_); }
    // One JSON object per line of standard output.
    std::vector<minijson::Value> Objects() const
    {
        std::vector<minijson::Value> v;
        for (const std::string& line : SplitLines(Out())) v.push_back(minijson::Parse(line));
        return v;
    }

private:
    pid_t pid_ = -1;
    int status_ = -1;
    std::string out_, err_;
};

// fluvena-batch run to its end in dir.
inline BatchProcess Batch(const TempDir& dir, std::vector<std::string> args)
{
    BatchProcess run(dir, "run", std::move(args));
    run.Wait();
    return run;
}

// The one object a successful run with these arguments printed.
inline minijson::Value OnlyObject(const TempDir& dir, std::vector<std::string> args)
{
    auto run = Batch(dir, std::move(args));
    EXPECT_EQ(run.Wait(), 0) << run.Err();
    const auto objects = run.Objects();
    if (objects.size() != 1) throw std::runtime_error(std::to_string(objects.size()) + " objects printed");
    return objects[0];
}

}  // namespace fluvena::testing
