// SPDX-License-Identifier: GPL-3.0-or-later
#include "compression/lzrw1_run.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <new>

#include "compression/LZRW1.h"
#include "compression/compression_error.h"
#include "compression/lzrw1_messages.h"

namespace velmora {

using namespace lzrw1_text;

Lzrw1Run::Lzrw1Run(Tlzrw1& owner, const char* noBuffersText) : owner_(owner) {
    try {
        input_buffer_ = std::make_unique<std::uint8_t[]>(kBufferSize);
        output_buffer_ = std::make_unique<std::uint8_t[]>(kBufferSize);
    } catch (const std::bad_alloc&) {
        throw ELzrw1Exception(noBuffersText);
    }
}

Lzrw1Run::~Lzrw1Run() {
    if (restore_input_position_ && input_ != nullptr && !input_file_) {
        input_->clear();
        input_->seekg(input_start_);
    }
}

std::string Lzrw1Run::aboutInput(const char* fileText, const char* streamText, const char* suffix) const {
    return (owner_.UseStream ? std::string(streamText) : fileText + owner_.InputFile) + suffix;
}

std::string Lzrw1Run::aboutOutput(const char* fileText, const char* streamText) const {
    return owner_.UseStream ? std::string(streamText) : fileText + owner_.OutputFile;
}

std::optional<std::uint64_t> Lzrw1Run::inputSize() const {
    if (!owner_.UseStream) {
        std::error_code error;
        const auto size = std::filesystem::file_size(owner_.InputFile, error);
        if (error) {
            return std::nullopt;
        }
        return size;
    }
    std::istream* in = owner_.InputStream;
    if (in == nullptr || !in->good()) {
        return std::nullopt;
    }
    const std::streampos start = in->tellg();
    if (start == std::streampos(-1) || !in->seekg(0, std::ios::end)) {
        in->clear();
        return std::nullopt;
    }
    const std::streampos end = in->tellg();
    in->seekg(start);
    if (end == std::streampos(-1) || !*in || end < start) {
        in->clear();
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(end - start);
}

bool Lzrw1Run::openInput() {
    if (owner_.UseStream) {
        input_ = owner_.InputStream;
        if (input_ == nullptr || !input_->good()) {
            input_ = nullptr;
            return false;
        }
    } else {
        input_file_ = std::make_unique<std::ifstream>(owner_.InputFile, std::ios::binary);
        if (!input_file_->is_open()) {
            input_file_.reset();
            return false;
        }
        input_ = input_file_.get();
    }
    input_start_ = input_->tellg();
    return true;
}

bool Lzrw1Run::createOutput() {
    if (owner_.UseStream) {
        output_ = owner_.OutputStream;
        if (output_ == nullptr || !output_->good()) {
            output_ = nullptr;
            return false;
        }
        return true;
    }
    output_file_ = std::make_unique<std::ofstream>(owner_.OutputFile, std::ios::binary | std::ios::trunc);
    if (!output_file_->is_open()) {
        output_file_.reset();
        return false;
    }
    output_ = output_file_.get();
    return true;
}

std::size_t Lzrw1Run::readSome(std::uint8_t* destination, std::size_t count, const std::string& failureText) {
    input_->read(reinterpret_cast<char*>(destination), static_cast<std::streamsize>(count));
    const auto got = static_cast<std::size_t>(input_->gcount());
    if (input_->bad()) {
        throw ELzrw1Exception(failureText);
    }
    bytesIn += static_cast<std::int64_t>(got);
    return got;
}

void Lzrw1Run::readExactly(std::uint8_t* destination, std::size_t count) {
    const std::string failure = aboutInput(kReadFile, kReadStream);
    if (readSome(destination, count, failure) != count) {
        throw ELzrw1Exception(failure);
    }
}

bool Lzrw1Run::seekInput(std::uint64_t offset) {
    input_->clear();
    input_->seekg(input_start_ + static_cast<std::streamoff>(offset));
    return static_cast<bool>(*input_);
}

std::size_t Lzrw1Run::pullInput(std::uint8_t* destination, std::size_t count, const std::string& failureText) {
    if (pulled_ == available_) {
        available_ = readSome(input_buffer_.get(), kBlockSize, failureText);
        pulled_ = 0;
        progress();
    }
    const std::size_t given = std::min(count, available_ - pulled_);
    std::memcpy(destination, input_buffer_.get() + pulled_, given);
    pulled_ += given;
    return given;
}

void Lzrw1Run::pushOutput(const std::uint8_t* source, std::size_t count) {
    while (count > 0) {
        if (pushed_ == kBlockSize) {
            flushOutput();
        }
        const std::size_t taken = std::min(count, kBlockSize - pushed_);
        std::memcpy(output_buffer_.get() + pushed_, source, taken);
        pushed_ += taken;
        source += taken;
        count -= taken;
    }
}

void Lzrw1Run::flushOutput() {
    if (pushed_ > 0) {
        write(output_buffer_.get(), pushed_);
        pushed_ = 0;
        progress();
    }
}

void Lzrw1Run::write(const std::uint8_t* source, std::size_t count) {
    output_->write(reinterpret_cast<const char*>(source), static_cast<std::streamsize>(count));
    output_->flush();
    if (!output_->good()) {
        throw ELzrw1Exception(aboutOutput(kWriteFile, kWriteStream));
    }
    bytesOut += static_cast<std::int64_t>(count);
}

void Lzrw1Run::finishOutput() {
    if (output_file_) {
        output_file_->close();
        if (output_file_->fail()) {
            throw ELzrw1Exception(aboutOutput(kWriteFile, kWriteStream));
        }
    }
    input_file_.reset();
}

void Lzrw1Run::discardOutput() noexcept {
    if (!output_file_) {
        return;
    }
    output_file_->close();
    output_file_.reset();
    // Only a file this run created is deleted, never a device or a folder.
    std::error_code error;
    if (std::filesystem::is_regular_file(owner_.OutputFile, error)) {
        std::filesystem::remove(owner_.OutputFile, error);
    }
}

void Lzrw1Run::progress() {
    if (owner_.visible()) {
        owner_.setCaption(std::string(codec_label_) + kBytesIn + std::to_string(bytesIn) + kBytesOut +
                          std::to_string(bytesOut));
    }
    if (owner_.OnProcessMessages) {
        owner_.OnProcessMessages();
    }
}

}  // namespace velmora
