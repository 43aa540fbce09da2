// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One run of the compression component: its two 32768-byte buffers (with 16
// spare bytes), its input and output (files it opens or the caller's
// streams), the bytes-in and bytes-out counts and the progress caption.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

class Tlzrw1;

class Lzrw1Run {
public:
    static constexpr std::size_t kBlockSize = 32768;
    static constexpr std::size_t kBufferSize = kBlockSize + 16;

    // Gets the buffers; throws ELzrw1Exception(noBuffersText) without them.
    Lzrw1Run(Tlzrw1& owner, const char* noBuffersText);
    // Closes whatever is still open (a stream is left open, as it was given).
    ~Lzrw1Run();
    Lzrw1Run(const Lzrw1Run&) = delete;
    Lzrw1Run& operator=(const Lzrw1Run&) = delete;

    // Texts naming the input or the output: the file variant followed by the
    // file's name, or the stream variant, then `suffix`.
    std::string aboutInput(const char* fileText, const char* streamText, const char* suffix = "") const;
    std::string aboutOutput(const char* fileText, const char* streamText) const;

    // The input's size: the file's length, or what remains of the stream.
    std::optional<std::uint64_t> inputSize() const;
    bool openInput();
    bool createOutput();
    // In stream mode the input goes back to where it was when opened, when
    // the run ends.
    void restoreInputPositionAtEnd() { restore_input_position_ = true; }

    // Reads up to `count` bytes, fewer only at the input's end; adds them to
    // bytesIn. Throws ELzrw1Exception(failureText) on a read error.
    std::size_t readSome(std::uint8_t* destination, std::size_t count, const std::string& failureText);
    // Reads exactly `count` bytes or throws the component's read error.
    void readExactly(std::uint8_t* destination, std::size_t count);
    // Moves the input to `offset` bytes past where it was opened.
    bool seekInput(std::uint64_t offset);

    // Hands out input bytes through the input buffer, refilling it a block at
    // a time; 0 only at the input's end.
    std::size_t pullInput(std::uint8_t* destination, std::size_t count, const std::string& failureText);
    // Appends to the output buffer, writing it out whenever the next bytes
    // would not fit; flushOutput() writes out what is left.
    void pushOutput(const std::uint8_t* source, std::size_t count);
    void flushOutput();

    // Writes `count` bytes at once and adds them to bytesOut; throws the
    // component's write error when they do not all go out.
    void write(const std::uint8_t* source, std::size_t count);
    // Closes the output; throws the write error when that fails.
    void finishOutput();
    // After a failure: closes the output file and deletes it (file mode).
    void discardOutput() noexcept;

    // Names the codec in the progress caption: "(LZH)" or "(LZRW1/KH)".
    void setCodecLabel(const char* label) { codec_label_ = label; }
    // Shows the progress caption (when visible) and lets the program handle
    // its pending messages; called after every block.
    void progress();

    std::uint8_t* inputBuffer() { return input_buffer_.get(); }
    std::uint8_t* outputBuffer() { return output_buffer_.get(); }

    std::int64_t bytesIn = 0;
    std::int64_t bytesOut = 0;

private:
    Tlzrw1& owner_;
    std::unique_ptr<std::uint8_t[]> input_buffer_;
    std::unique_ptr<std::uint8_t[]> output_buffer_;
    std::unique_ptr<std::ifstream> input_file_;
    std::unique_ptr<std::ofstream> output_file_;
    std::istream* input_ = nullptr;
    std::ostream* output_ = nullptr;
    std::streampos input_start_ = 0;
    bool restore_input_position_ = false;
    std::size_t pulled_ = 0;     // bytes of the input buffer handed out
    std::size_t available_ = 0;  // bytes in the input buffer
    std::size_t pushed_ = 0;     // bytes waiting in the output buffer
    const char* codec_label_ = "";
};

}  // namespace velmora
