// Texts of the library in the GBK code page (debugger output and the user
// question); the UTF-8 form of each is given above it.
#pragma once

namespace qz::text {

// "\nUSB已经找到"
inline constexpr char kUsbFound[] = "\nUSB\xD2\xD1\xBE\xAD\xD5\xD2\xB5\xBD";
// "\nU2C已经找到"
inline constexpr char kU2cFound[] = "\nU2C\xD2\xD1\xBE\xAD\xD5\xD2\xB5\xBD";
// "内存不足!"
inline constexpr char kOutOfMemory[] = "\xC4\xDA\xB4\xE6\xB2\xBB\xD7\xE3!";
// "\n打开USB成功"
inline constexpr char kUsbOpened[] = "\n\xB4\xF2\xBF\xAAUSB\xB3\xC9\xB9\xA6";
// "\n打开USB失败"
inline constexpr char kUsbOpenFailed[] = "\n\xB4\xF2\xBF\xAAUSB\xCA\xA7\xB0\xDC";
// "\n打开U2C成功"
inline constexpr char kU2cOpened[] = "\n\xB4\xF2\xBF\xAAU2C\xB3\xC9\xB9\xA6";
// "\n打开U2C失败"
inline constexpr char kU2cOpenFailed[] = "\n\xB4\xF2\xBF\xAAU2C\xCA\xA7\xB0\xDC";
// "\n复位等待"
inline constexpr char kReaderWaiting[] = "\n\xB8\xB4\xCE\xBB\xB5\xC8\xB4\xFD";
// "\n尝试读取数据"
inline constexpr char kTryingToRead[] = "\n\xB3\xA2\xCA\xD4\xB6\xC1\xC8\xA1\xCA\xFD\xBE\xDD";
// "\n获取读到数长度"
inline constexpr char kFetchingLength[] =
    "\n\xBB\xF1\xC8\xA1\xB6\xC1\xB5\xBD\xCA\xFD\xB3\xA4\xB6\xC8";
// "\n一次读取成功"
inline constexpr char kReadAtOnce[] = "\n\xD2\xBB\xB4\xCE\xB6\xC1\xC8\xA1\xB3\xC9\xB9\xA6";
// "\n发送完成"
inline constexpr char kSent[] = "\n\xB7\xA2\xCB\xCD\xCD\xEA\xB3\xC9";
// "\n发送错误"
inline constexpr char kSendError[] = "\n\xB7\xA2\xCB\xCD\xB4\xED\xCE\xF3";
// "\n使能读取"
inline constexpr char kReadEnabled[] = "\n\xCA\xB9\xC4\xDC\xB6\xC1\xC8\xA1";
// "是否覆盖已存在文件?"
inline constexpr char kOverwriteQuestion[] =
    "\xCA\xC7\xB7\xF1\xB8\xB2\xB8\xC7\xD2\xD1\xB4\xE6\xD4\xDA\xCE\xC4\xBC\xFE?";

}  // namespace qz::text
