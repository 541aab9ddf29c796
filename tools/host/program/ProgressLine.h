#pragma once

#include <ostream>
#include <streambuf>
#include <string>

// One line on a terminal that tells how far a run is, rewritten in place
// ("\r" and the new text, blanks over what is left of the old). Whatever
// else goes to the terminal while the line shows first clears it, so no
// message is ever mixed into it; the next show() brings it back.
class ProgressLine {
public:
    // Takes over `terminal` (standard error) and, when not null, `sharing`
    // (standard output on the same terminal) until destroyed, which clears
    // the line. `columns`: the terminal's width, 0 when unknown; `utf8`: the
    // text is UTF-8, so a column is a character, not a byte.
    ProgressLine(std::ostream& terminal, std::ostream* sharing, int columns, bool utf8);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // `text`, cut to the terminal's width less one column (a line that
    // fills the last column wraps on some terminals).
    void show(const std::string& text);

private:
    // Passes everything to a stream's own buffer, the line cleared first.
    class Guard : public std::streambuf {
    public:
        Guard(ProgressLine& line, std::ostream* stream);
        ~Guard() override;
        std::streambuf* target() const { return target_; }

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* text, std::streamsize count) override;
        int sync() override { return target_ ? target_->pubsync() : 0; }

    private:
        ProgressLine& line_;
        std::ostream* stream_;
        std::streambuf* target_;
    };

    void clear();

    size_t columns_;
    bool utf8_;
    size_t shown_ = 0;  // columns of the line on the terminal; 0: none
    Guard terminal_, sharing_;
};
