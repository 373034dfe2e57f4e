// The three text forms every file goes through: Print lines for people, Write records for
// programs, and Input fields for reading either back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

#include "shell/base/Clock.h"
#include "shell/base/NumberText.h"
#include "shell/base/Variant.h"

namespace vortel {

// The message of a write to `fileName` that did not reach the disk.
std::string WriteFailure(const std::string& fileName);

// Builds Print lines and Write records into a buffer and hands it to a stream in large chunks.
// Every finished line ends with CR LF. Bytes of texts pass through unchanged.
class TextWriter {
public:
    // `fileName`, when given, names the file in the message of a write that fails.
    explicit TextWriter(std::ostream& out, std::string fileName = {})
        : m_out(out), m_fileName(std::move(fileName)) {}
    ~TextWriter() { WriteOut(); }
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    // --- Print line items; each joins the next item directly, EndLine() finishes the line.
    TextWriter& Text(std::string_view text);
    // Sign field (blank or "-"), digits, one trailing blank.
    TextWriter& Number(double x);
    TextWriter& Number(std::int64_t x);
    TextWriter& Number(std::int32_t x) { return Number(static_cast<std::int64_t>(x)); }
    TextWriter& Number(std::int16_t x) { return Number(static_cast<std::int64_t>(x)); }
    TextWriter& Date(const DateTime& t) { return Text(DateText(t)); }
    TextWriter& Variant(const vortel::Variant& v);
    // Blanks up to column n; past it, a new line filled with blanks up to column n.
    TextWriter& Tab(int n);
    void EndLine();
    // A line of one text.
    void Line(std::string_view text) { Text(text).EndLine(); }
    // The 1-based column at which the next item starts.
    int Column() const { return m_column; }

    // --- Write record: items separated by commas, texts in quotes, numbers bare.
    template <class... Items>
    void Write(const Items&... items) {
        bool first = true;
        (WriteItem(items, first), ...);
        EndLine();
    }

    // Hands the buffer to the stream; a stream that fails stops the command, naming the file.
    void Flush();

private:
    bool WriteOut() noexcept;
    void Put(std::string_view s);
    void Separator(bool& first) {
        if (!first) Put(",");
        first = false;
    }
    void WriteItem(std::string_view text, bool& first);
    void WriteItem(const std::string& text, bool& first) {
        WriteItem(std::string_view(text), first);
    }
    void WriteItem(const char* text, bool& first) { WriteItem(std::string_view(text), first); }
    void WriteItem(double x, bool& first);
    void WriteItem(std::int64_t x, bool& first);
    void WriteItem(std::int32_t x, bool& first) { WriteItem(static_cast<std::int64_t>(x), first); }
    void WriteItem(std::int16_t x, bool& first) { WriteItem(static_cast<std::int64_t>(x), first); }
    void WriteItem(const vortel::Variant& v, bool& first);

    std::ostream& m_out;
    std::string m_fileName;
    std::string m_buffer;
    int m_column = 1;
};

// Stops the command when `path` names no file, a folder, or something other than a plain file
// (a device or a pipe would be read without end).
void RefuseUnreadable(const std::filesystem::path& path);

// Reads a text file as a sequence of fields: commas or line ends (LF, CR LF or CR) separate
// them, blanks around a field are skipped, and a field that begins with a double quote runs to
// the next double quote. Every failure names the file, the field number and what was found.
class InputFields {
public:
    // Reads the whole file; a file that cannot be opened or read stops the command.
    static InputFields Open(const std::filesystem::path& path);
    InputFields(std::string content, std::string displayName);

    // True when no further field is left (only blanks and line ends remain).
    bool AtEnd() const;
    // Number of the field read last, counting from 1.
    std::int64_t FieldNumber() const { return m_fieldNumber; }
    const std::string& Name() const { return m_name; }

    std::string ReadText(std::string_view what);
    double ReadDouble(std::string_view what);
    // The same for the number-th of a list of values ("bootstrap value", 17): the name is put
    // together only for a failure, so a long list reads at the speed of its numbers.
    double ReadDouble(std::string_view what, std::int64_t number);
    std::int32_t ReadInt32(std::string_view what);
    vortel::Variant ReadAny(std::string_view what);

private:
    std::string_view Next(std::string_view what, bool& quoted, std::int64_t number = -1);
    [[noreturn]] void Fail(std::string_view what, std::string_view found) const;

    std::string m_content;
    std::string m_name;
    std::size_t m_pos = 0;
    std::int64_t m_fieldNumber = 0;
};

}  // namespace vortel
