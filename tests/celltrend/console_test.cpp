// The console: line control of the records shown, answers read by list-style
// input, the pause and the end of the run's output.

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "console.hpp"
#include "failure.hpp"
#include "fixed_text.hpp"

namespace celltrend {
namespace {

TEST(ConsoleLineControl, FirstCharacterIsNotShown) {
    std::istringstream in;
    std::ostringstream out;
    Console con(in, out, false);
    con.record(" Hello");
    EXPECT_EQ(out.str(), "Hello");  // the first record starts at the cursor, no line feed yet
    con.record("xWorld");
    EXPECT_EQ(out.str(), "Hello\nWorld");
    con.record(" ");
    EXPECT_EQ(out.str(), "Hello\nWorld\n");
    con.finish();
    EXPECT_EQ(out.str(), "Hello\nWorld\n\n");
}

TEST(ConsoleLineControl, ZeroAddsAnEmptyLineOneAPageBreak) {
    std::istringstream in;
    std::ostringstream out;
    Console con(in, out, false);
    con.record(" a");
    con.record("0b");
    con.record("1c");
    con.finish();
    EXPECT_EQ(out.str(), "a\n\nb\n\fc\n");
}

TEST(ConsoleLineControl, MessagesShowTheirTextsFromTheFirstColumn) {
    std::istringstream in;
    std::ostringstream out;
    Console con(in, out, false);
    con.message({"Give the name of the buffer file: ", " "});
    EXPECT_EQ(out.str(), "Give the name of the buffer file:  ");
    con.message({" "});  // a blank line: the text " " shown as one blank
    con.message({"a", "b", "c"});
    con.message({});
    con.finish();
    EXPECT_EQ(out.str(), "Give the name of the buffer file:  \n \nabc\n\n");
}

TEST(ConsoleLineControl, FormattedRecords) {
    std::istringstream in;
    std::ostringstream out;
    Console con(in, out, false);
    con.formatted("(A,F6.2,3A)", {"  T = ", 295.0f, " cell_a", " not", " found"});
    con.formatted("(2X,A,F8.2,5X,A,3(1X,3F3.0),A)",
                  {" TK = ", 293.0f, "M = [", 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, "]"});
    con.formatted("(A)", {" "});
    con.finish();
    EXPECT_EQ(out.str(),
              " T = 295.00 cell_a not found\n"
              "  TK =   293.00     M = [  1. 0. 0.  0. 1. 0.  0. 0. 1.]\n"
              "\n");
}

TEST(ConsoleLineControl, FinishEndsOnlyAPendingLine) {
    std::istringstream in;
    std::ostringstream out;
    Console con(in, out, false);
    con.finish();
    EXPECT_EQ(out.str(), "");
    con.message({"x"});
    con.finish();
    con.finish();
    EXPECT_EQ(out.str(), "x\n");
    con.message({"y"});  // after finish the next record needs no line feed of its own
    con.finish();
    EXPECT_EQ(out.str(), "x\ny\n");
}

// The answer is typed on the prompt's line; the next record then begins with
// its own line feed.
// Standard output and standard error in one log (2>&1): a notice gets a line
// of its own, not the end of the prompt it follows; the console's own bytes
// are the same either way.
TEST(ConsoleLineControl, NoticeStartsOnALineOfItsOwn) {
    std::istringstream in;
    std::ostringstream log;
    Console shared(in, log, false, log);
    shared.message({"  > prompt "});
    shared.notice("celltrend: f, line 3: what");
    shared.message({"next"});
    shared.finish();
    EXPECT_EQ(log.str(), "  > prompt \ncelltrend: f, line 3: what\nnext\n");

    std::ostringstream out, err;
    Console apart(in, out, false, err);
    apart.message({"  > prompt "});
    apart.notice("celltrend: f, line 3: what");
    apart.finish();
    EXPECT_EQ(out.str(), "  > prompt \n");
}

// A notice quotes names and text from files (a planted link's target, a
// buffer line): a line end or a terminal escape in them must neither split
// the one line nor reach the terminal raw.
TEST(ConsoleLineControl, NoticeIsOneLineWithoutControlCharacters) {
    std::istringstream in;
    std::ostringstream out, err;
    Console con(in, out, false, err);
    con.notice("celltrend: TK_cell_a.pgf: a symbolic link to x\n\x1b]0;title\x07\r\ty\x7f");
    EXPECT_EQ(err.str(), "celltrend: TK_cell_a.pgf: a symbolic link to x?\?]0;title???y?\n");
}

TEST(ConsoleAnswers, TypedOnThePromptLine) {
    std::istringstream in("  y\n");
    std::ostringstream out;
    Console con(in, out, false);
    con.message({"Extract all parameters (y/n) ?  "});
    Text<3> answer;
    con.answer(answer);
    EXPECT_EQ(answer.view(), "y  ");
    con.message({"next"});
    con.finish();
    EXPECT_EQ(out.str(), "Extract all parameters (y/n) ?  \nnext\n");
}

TEST(ConsoleAnswers, ListStyleValues) {
    struct Case {
        const char* input;
        const char* before;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"y\n", "", "y  "},
        {"Y\n", "", "Y  "},
        {"yes\n", "", "yes"},
        {"yesss\n", "", "yes"},
        {"yes please\n", "", "yes"},
        {"   y\n", "", "y  "},
        {"'  y'\n", "", "  y"},
        {"n,y\n", "", "n  "},
        {"''\n", "y", "   "},
        {"\"\"\n", "y", "   "},
        {"/\n", "y", "y  "},  // a slash alone keeps the previous answer
        {" / n\n", "n", "n  "},
        {",\n", "y", "y  "},            // a null value keeps it too
        {"\n\n  \t\nn\n", "y", "n  "},  // empty lines are passed over
        {"y\r\n", "", "y  "},
        {"\r\n\r\nx\r\n", "", "x  "},
        {"y", "", "y  "},  // a last line without line feed
        {"2*n\n", "", "n  "},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.input);
        std::ostringstream out;
        Console con(in, out, false);
        Text<3> answer(c.before);
        con.answer(answer);
        EXPECT_EQ(answer.view(), c.expected) << '"' << c.input << '"';
    }
}

// Each answer takes a line of its own; the rest of the line is dropped.
TEST(ConsoleAnswers, OneLinePerAnswer) {
    std::istringstream in("a b c\n\nd\n/\n");
    std::ostringstream out;
    Console con(in, out, false);
    Text<16> t;
    con.answer(t);
    EXPECT_EQ(t.str(), "a");
    con.answer(t);
    EXPECT_EQ(t.str(), "d");
    con.answer(t);
    EXPECT_EQ(t.str(), "d");
    EXPECT_THROW(con.answer(t), RunFailure);
}

TEST(ConsoleAnswers, EndOfInputEndsTheRun) {
    for (const char* input : {"", "\n", "\n  \n\t\n", "\r\n"}) {
        std::istringstream in(input);
        std::ostringstream out;
        Console con(in, out, false);
        Text<64> name("kept");
        try {
            con.answer(name);
            ADD_FAILURE() << "no failure for input \"" << input << '"';
        } catch (const RunFailure& f) {
            EXPECT_EQ(f.exit_status, 1);
            EXPECT_FALSE(std::string(f.what()).empty());
        }
        EXPECT_EQ(name.str(), "kept");
    }
}

// A line of any length costs at most the part that is kept; the notice names
// the line, and the next line is read as usual.
TEST(ConsoleAnswers, OverlongLineIsReadInPart) {
    const std::string huge(3'000'000, 'y');
    std::istringstream in("first\n" + huge + " tail\r\n'" + std::string(70'000, 'q') + "'\nnext\r\n");
    std::ostringstream out;
    std::ostringstream err;
    Console con(in, out, false, err);
    Text<16> t;
    con.answer(t);
    EXPECT_EQ(t.str(), "first");
    con.answer(t);
    EXPECT_EQ(t.str(), std::string(16, 'y'));
    // A quoted value whose closing quote lies beyond the kept part ends there.
    Text<70000> long_text;
    con.answer(long_text);
    EXPECT_EQ(long_text.str(), std::string(65535, 'q'));
    con.answer(t);
    EXPECT_EQ(t.str(), "next");
    EXPECT_EQ(err.str(),
              "celltrend: standard input, line 2: a line of 3000006 characters; only its first 65536 are read\n"
              "celltrend: standard input, line 3: a line of 70002 characters; only its first 65536 are read\n");
    EXPECT_EQ(out.str(), "");
}

// Records what reached the sink at each flush, to see that a prompt is out
// before the keyboard is read.
class FlushLog : public std::streambuf {
public:
    std::string flushed;

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) pending_.push_back(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        pending_.append(s, static_cast<std::size_t>(n));
        return n;
    }
    int sync() override {
        flushed += pending_;
        pending_.clear();
        return 0;
    }

private:
    std::string pending_;
};

class WatchingInput : public std::streambuf {
public:
    WatchingInput(std::string text, const FlushLog& log) : text_(std::move(text)), log_(log) {}
    std::string seen_at_first_read;
    bool read = false;

protected:
    int_type underflow() override {
        if (!read) seen_at_first_read = log_.flushed;
        read = true;
        if (done_) return traits_type::eof();
        done_ = true;
        setg(text_.data(), text_.data(), text_.data() + text_.size());
        return traits_type::to_int_type(text_[0]);
    }

private:
    std::string text_;
    const FlushLog& log_;
    bool done_ = false;
};

TEST(ConsoleAnswers, PromptIsFlushedBeforeTheRead) {
    FlushLog sink;
    std::ostream out(&sink);
    WatchingInput source("buffer.txt\n", sink);
    std::istream in(&source);
    Console con(in, out, false);
    con.message({"Name of the buffer file: "});
    Text<64> name;
    con.answer(name);
    EXPECT_EQ(source.seen_at_first_read, "Name of the buffer file: ");
    EXPECT_EQ(name.str(), "buffer.txt");
}

TEST(ConsolePause, NoticeOnALineOfItsOwnWithoutWaitingWhenNotInteractive) {
    std::istringstream in("next answer\n");
    std::ostringstream out;
    Console con(in, out, false);
    con.message({" "});
    con.message({" ! Problem reading buffer file. Program will be stopped."});
    con.message({" "});
    con.pause();
    EXPECT_EQ(out.str(), " \n ! Problem reading buffer file. Program will be stopped.\n \nPress Enter to Continue.");
    con.finish();
    EXPECT_EQ(out.str().substr(out.str().size() - 26), "\nPress Enter to Continue.\n");
    // Nothing was read from the keyboard.
    Text<16> t;
    con.answer(t);
    EXPECT_EQ(t.str(), "next");
}

TEST(ConsolePause, WaitsForEnterWhenInteractive) {
    FlushLog sink;
    std::ostream out(&sink);
    WatchingInput source("ignored rest of line\nnext\n", sink);
    std::istream in(&source);
    Console con(in, out, true);
    con.message({"x"});
    con.pause();
    EXPECT_TRUE(source.read);
    EXPECT_EQ(source.seen_at_first_read, "x\nPress Enter to Continue.");
    Text<16> t;
    con.answer(t);
    EXPECT_EQ(t.str(), "next");
}

TEST(ConsolePause, InteractiveAtEndOfInputDoesNotHang) {
    std::istringstream in("");
    std::ostringstream out;
    Console con(in, out, true);
    con.message({"x"});
    EXPECT_NO_THROW(con.pause());
    EXPECT_EQ(out.str(), "x\nPress Enter to Continue.");
}

}  // namespace
}  // namespace celltrend
