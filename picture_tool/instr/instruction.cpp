#include "picture_tool/instr/instruction.h"

#include <cstdio>

namespace qv::picture_tool {
namespace {

constexpr const char* kX = "x点坐标";
constexpr const char* kY = "y点坐标";

const std::array<InstructionKind, kInstructionCount> kKinds{{
    {"显示12X12的中文或6X12的英文", 0x00, {kX, kY}, 2, true, true, true},
    {"显示16X16的中文或8X16的英文", 0x01, {kX, kY}, 2, true, true, true},
    {"显示24X24的中文或12X24的英文", 0x02, {kX, kY}, 2, true, true, true},
    {"显示6X12的变量", 0x10, {kX, kY, "变量值"}, 3, true, true, false},
    {"显示8X16的变量", 0x11, {kX, kY, "变量值"}, 3, true, true, false},
    {"显示12X24的变量", 0x12, {kX, kY, "变量值"}, 3, true, true, false},
    {"显示图片", 0x20, {kX, kY, "位图编号"}, 3, false, false, false},
    {"循环播放图片", 0x21, {kX, kY, "起始位图编号", "结束位图编号", "时间间隔"}, 5, false, false, false},
    {"顺序播放图片", 0x22, {kX, kY, "起始位图编号", "结束位图编号", "切换时间间隔"}, 5, false, false, false},
    {"显示直线", 0x30, {"起点x坐标", "起点y坐标", "终点x坐标", "终点y坐标", "直线宽度"}, 5, false, true, false},
    {"显示矩形", 0x31, {"起点x坐标", "起点y坐标", "矩形长度", "矩形宽度"}, 4, false, true, false},
    {"显示填充矩形", 0x32, {"起点x坐标", "起点y坐标", "矩形长度", "矩形宽度"}, 4, false, true, false},
    {"显示圆或椭圆", 0x33, {"圆心x坐标", "圆心y坐标", "横直径", "竖直径"}, 4, false, true, false},
    {"显示填充圆或椭圆", 0x34, {"圆心x坐标", "圆心y坐标", "横直径", "竖直径"}, 4, false, true, false},
    {"清屏", 0x35, {}, 0, false, true, false},
}};

} // namespace

const std::array<InstructionKind, kInstructionCount>& instructionKinds()
{
    return kKinds;
}

InstructionForm defaultForm(int entry)
{
    InstructionForm f;
    const auto values = [&](std::initializer_list<int> v) {
        std::copy(v.begin(), v.end(), f.values.begin());
    };
    switch (entry) {
    case 0: case 1: case 2: f.text = "Hello 123"; break;
    case 7: case 8: values({0, 0, 0, 1, 5}); break;
    case 9: values({0, 0, 200, 200, 2}); f.foreground = {255, 255, 255}; break;
    case 10: values({5, 5, 100, 100}); f.foreground = {255, 255, 255}; break;
    case 11: values({100, 100, 200, 200}); f.foreground = {255, 255, 255}; break;
    case 12: values({100, 100, 100, 100}); f.foreground = {0, 255, 0}; break;
    case 13: values({200, 200, 100, 100}); f.foreground = {255, 255, 255}; break;
    case 14: f.foreground = {0, 0, 255}; break;
    default: break;
    }
    return f;
}

std::optional<std::vector<std::uint8_t>> buildInstruction(int entry, const InstructionForm& form, std::string* error)
{
    const auto fail = [&](const char* why) -> std::optional<std::vector<std::uint8_t>> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (entry < 0 || entry >= kInstructionCount)
        return fail("没有这条指令");
    const InstructionKind& k = kKinds[static_cast<std::size_t>(entry)];
    std::vector<std::uint8_t> b{0x81, k.code};
    const auto colour = [&](const Rgb& c) {
        for (int v : {c.b, c.g, c.r})
            b.push_back(static_cast<std::uint8_t>(v));
    };
    for (const Rgb* c : {&form.background, &form.foreground})
        for (int v : {c->r, c->g, c->b})
            if (v < 0 || v > 255)
                return fail("输入的颜色值不能超过255!!");
    if (k.background)
        colour(form.background);
    if (k.foreground)
        colour(form.foreground);
    // Entries 7 and 8 end in a one-byte interval; entry 9 in a one-byte width (% 100).
    const bool lastIsByte = entry == 7 || entry == 8 || entry == 9;
    for (int i = 0; i < k.valueCount; ++i) {
        const int v = form.values[static_cast<std::size_t>(i)];
        if (lastIsByte && i == k.valueCount - 1) {
            if (v < 0 || v > 255)
                return fail("参数值必须在0到255之间!!");
            b.push_back(static_cast<std::uint8_t>(entry == 9 ? v % 100 : v));
        } else {
            if (v < 0 || v > 9999)
                return fail("参数值必须在0到9999之间!!");
            b.push_back(static_cast<std::uint8_t>(v / 100));
            b.push_back(static_cast<std::uint8_t>(v % 100));
        }
    }
    if (k.text)
        b.insert(b.end(), form.text.begin(), form.text.end());
    b.push_back(0x84);
    if (b.size() > kMaxInstructionBytes)
        return fail("指令太长，最多512字节!!");
    return b;
}

std::string instructionHex(const std::vector<std::uint8_t>& bytes)
{
    std::string s;
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i < 2 || i + 1 == bytes.size()) {
            std::snprintf(buf, sizeof buf, "%02X", bytes[i]);
        } else {
            std::snprintf(buf, sizeof buf, "%02X ", bytes[i]);
        }
        s += buf;
    }
    return s;
}

std::vector<std::uint8_t> hexTextToBytes(const std::string& text)
{
    const auto digit = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return 16;
    };
    std::vector<std::uint8_t> out;
    std::size_t i = 0;
    for (;;) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        if (i + 1 >= text.size())
            break;
        const int hi = digit(text[i]), lo = digit(text[i + 1]);
        if (hi > 15 || lo > 15)
            break;
        out.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
        i += 2;
    }
    return out;
}

PanelReplyReader::Event PanelReplyReader::feed(std::uint8_t b)
{
    static const std::array<std::pair<std::uint8_t, const char*>, 8> kSounds{{{0xB0, "0.wav"},
                                                                              {0xB1, "1.wav"},
                                                                              {0xB2, "3.wav"},
                                                                              {0xB3, "4.wav"},
                                                                              {0xB4, "2.wav"},
                                                                              {0xB5, "GameOver.wav"},
                                                                              {0xB6, "GameStart.wav"},
                                                                              {0xBA, "碰撞.wav"}}};
    Event e;
    for (const auto& [code, file] : kSounds)
        if (b == code)
            e.sound = file;
    if (step_ == 1) {
        if (b == 0xF3 || b == 0xF4)
            step_ = 2;
        return e;
    }
    bytes_[static_cast<std::size_t>(step_ - 2)] = b;
    if (++step_ == 6) {
        step_ = 1;
        e.touch = std::pair{bytes_[0] * 100 + bytes_[1], bytes_[2] * 100 + bytes_[3]};
    }
    return e;
}

} // namespace qv::picture_tool
