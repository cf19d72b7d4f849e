#include "platform/record/call_log.h"

#include <charconv>
#include <cstring>

namespace platform::record {

namespace {

template <typename F>
std::string Shortest(F value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

template <typename... T>
std::string Braced(const T&... values) {
    std::string text = "{";
    bool first = true;
    ((text += (first ? "" : ", ") + Format(values), first = false), ...);
    return text + "}";
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string Format(float value) {
    return Shortest(value);
}
std::string Format(double value) {
    return Shortest(value);
}
std::string Format(const char* text) {
    return text ? std::string(text) : "null";
}
std::string Format(const std::string& text) {
    return text;
}
std::string Format(std::string_view text) {
    return std::string(text);
}
std::string Format(std::nullptr_t) {
    return "null";
}

std::string Format(const Rect& rect) {
    return Braced(rect.left, rect.top, rect.right, rect.bottom);
}

std::string Format(const Matrix& matrix) {
    std::string text = "[";
    for (int i = 0; i < 16; ++i) {
        text += (i ? ", " : "") + Format(matrix.m[i / 4][i % 4]);
    }
    return text + "]";
}

std::string Format(const PresentParams& p) {
    return Braced(p.BackBufferWidth, p.BackBufferHeight, p.BackBufferFormat, p.BackBufferCount,
                  p.MultiSampleType, p.MultiSampleQuality, p.SwapEffect,
                  std::string(p.hDeviceWindow ? "window" : "null"), p.Windowed,
                  p.EnableAutoDepthStencil, p.AutoDepthStencilFormat, p.Flags,
                  p.FullScreen_RefreshRateInHz, p.PresentationInterval);
}

std::string Format(const FontDesc& d) {
    // The face name may lack its NUL; never read past the field.
    const std::string face(d.FaceName, strnlen(d.FaceName, sizeof d.FaceName));
    return Braced(d.Height, d.Width, d.Weight, d.MipLevels, d.Italic, d.CharSet, d.OutputPrecision,
                  d.Quality, d.PitchAndFamily, face);
}

std::string Format(const DeviceCaps& c) {
    return Braced(c.dwSize, c.dwFlags, c.dwDevType, c.dwAxes, c.dwButtons, c.dwPOVs,
                  c.dwFFSamplePeriod, c.dwFFMinTimeResolution, c.dwFirmwareRevision,
                  c.dwHardwareRevision, c.dwFFDriverVersion);
}

std::string Format(const WindowDesc& d) {
    return Braced(d.className, d.title, d.exStyle, d.style, d.x, d.y, d.width, d.height);
}

std::string Format(DeviceGuid guid) {
    return guid == DeviceGuid::SysKeyboard ? "Keyboard" : "Mouse";
}

std::string Format(DataFormat format) {
    return format == DataFormat::Keyboard ? "Keyboard" : "Mouse2";
}

std::string Entry::ToString() const {
    std::string text = object.empty() ? call : object + " " + call;
    text += "(";
    for (std::size_t i = 0; i < args.size(); ++i) {
        text += (i ? ", " : "") + args[i];
    }
    return text + ")";
}

std::size_t CallLog::Find(std::string_view call, std::size_t from) const {
    for (std::size_t i = from; i < entries_.size(); ++i) {
        if (entries_[i].call == call) {
            return i;
        }
    }
    return npos;
}

std::size_t CallLog::FindLast(std::string_view call) const {
    for (std::size_t i = entries_.size(); i-- > 0;) {
        if (entries_[i].call == call) {
            return i;
        }
    }
    return npos;
}

std::size_t CallLog::Count(std::string_view call) const {
    std::size_t n = 0;
    for (const Entry& e : entries_) {
        n += e.call == call ? 1 : 0;
    }
    return n;
}

std::vector<Entry> CallLog::All(std::string_view call) const {
    std::vector<Entry> found;
    for (const Entry& e : entries_) {
        if (e.call == call) {
            found.push_back(e);
        }
    }
    return found;
}

std::vector<std::string> CallLog::Calls(std::string_view prefix) const {
    return CallsFrom(0, prefix);
}

std::vector<std::string> CallLog::CallsFrom(std::size_t from, std::string_view prefix) const {
    std::vector<std::string> names;
    for (std::size_t i = from; i < entries_.size(); ++i) {
        if (StartsWith(entries_[i].call, prefix)) {
            names.push_back(entries_[i].call);
        }
    }
    return names;
}

std::string CallLog::ToString() const {
    std::string text;
    for (const Entry& e : entries_) {
        text += e.ToString() + "\n";
    }
    return text;
}

}  // namespace platform::record
