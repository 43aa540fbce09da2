// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The component's message and caption texts, exactly as the player sees them.
// Where a file variant ends in ": " the file's name follows.

namespace velmora::lzrw1_text {

inline constexpr const char* kNoBuffers = "Lzrw1 (de)compression : Failed to get memory for I/O buffers !";
inline constexpr const char* kNoSizeFile = "Lzrw1 compression : Failed to obtain the size of : ";
inline constexpr const char* kNoSizeStream = "Lzrw1 compression : Failed to obtain the size of the input stream !";
inline constexpr const char* kOpenInputFile = "Lzrw1 (de)compression : Failed to open input file : ";
inline constexpr const char* kOpenInputStream = "Lzrw1 (de)compression : Failed to initialize input stream !";
inline constexpr const char* kOpenOutputFile = "Lzrw1 (de)compression : Failed to open output file : ";
inline constexpr const char* kOpenOutputStream = "Lzrw1 (de)compression : Failed to initialize output stream !";
inline constexpr const char* kReadFile = "Lzrw1 : Error reading from input file : ";
inline constexpr const char* kReadStream = "Lzrw1 : Error reading from input stream !";
inline constexpr const char* kLzhSuffix = " (LZH)";
inline constexpr const char* kLzrwSuffix = " (LZRW1/KH)";
inline constexpr const char* kWriteFile = "Lzrw1 : Error writing to output file : ";
inline constexpr const char* kWriteStream = "Lzrw1 : Error writing to output stream !";
inline constexpr const char* kBadHeaderFile = " : Lzrw1 decompression : this file has no valid header !";
inline constexpr const char* kBadHeaderStream = "Lzrw1 decompression : input stream contains no valid header !";
inline constexpr const char* kLzrwSizeMismatch =
    "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
inline constexpr const char* kLzhSizeMismatch = "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";

inline constexpr const char* kAdviseBuffers = "Lzrw1 advise : Error getting I/O buffers";
inline constexpr const char* kAdviseSizeFile = "Lzrw1 advise : can not get the size of : ";
inline constexpr const char* kAdviseSizeStream = "Lzrw1 advise : can not get size of inputstream !";
inline constexpr const char* kAdviseOpenFile = "Lzrw1 advise : can open input file : ";
inline constexpr const char* kAdviseOpenStream = "Lzrw1 edvise : can not initialize the input stream!";
inline constexpr const char* kAdviseReadFile = "Lzrw1 advise : read error on input file : ";
inline constexpr const char* kAdviseReadStream = "Lzrw1 advise : input stream read error !";

inline constexpr const char* kCompressedFile = " : Lzrw1 : successfully compressed at ";
inline constexpr const char* kCompressedStream = "Lzrw1 : inputstream successfully compressed at ";
inline constexpr const char* kDecompressedFile = " : Lzrw1 : successfully decompressed at ";
inline constexpr const char* kDecompressedStream = "LZrw1 : inputstream successfully decompressed at ";
inline constexpr const char* kBytesIn = " Bytes in : ";
inline constexpr const char* kBytesOut = " Bytes out : ";
inline constexpr const char* kLzhProgress = "(LZH)";
inline constexpr const char* kLzrwProgress = "(LZRW1/KH)";
inline constexpr const char* kGuessingFile = "Guessing the best compression mode for : ";
inline constexpr const char* kGuessingStream = "Guessing the best compression mode for the inputstream";
inline constexpr const char* kGoodSmall = "Lzrw1 recommends GOOD compression :  small file !!";
inline constexpr const char* kGood = "Lzrw1 recommends GOOD compression : ";
inline constexpr const char* kFast = "Lzrw1 recommends FAST compression : ";

}  // namespace velmora::lzrw1_text
