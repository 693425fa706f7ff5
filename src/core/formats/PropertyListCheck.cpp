#include "core/formats/PropertyListCheck.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace qz {

namespace {

constexpr qsizetype kTrailerSize = 32;

// The layout of a binary list: its trailer's sizes and where the objects end.
class BinaryList {
  public:
    explicit BinaryList(const QByteArray& data)
        : bytes_(reinterpret_cast<const uchar*>(data.constData())), size_(data.size()) {}

    bool readTrailer(qint64 maxNodes) {
        if (size_ < 8 + kTrailerSize || std::memcmp(bytes_, "bplist00", 8) != 0) {
            return false;
        }
        const qsizetype trailer = size_ - kTrailerSize;
        offsetSize_ = bytes_[trailer + 6];
        refSize_ = bytes_[trailer + 7];
        objects_ = number(trailer + 8, 8);
        top_ = number(trailer + 16, 8);
        tableOffset_ = number(trailer + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8 || objects_ == 0 ||
            objects_ > quint64(maxNodes) || top_ >= objects_ || tableOffset_ < 8 ||
            tableOffset_ > quint64(trailer)) {
            return false;
        }
        return objects_ <= (quint64(trailer) - tableOffset_) / offsetSize_;
    }

    quint64 objects() const { return objects_; }
    quint64 top() const { return top_; }

    // One object's header: its type nibble, its count and where its payload begins.
    struct Object {
        uchar type = 0;
        quint64 count = 0;
        quint64 payload = 0;
    };

    std::optional<Object> object(quint64 index) const {
        const quint64 at = number(qsizetype(tableOffset_ + index * offsetSize_), offsetSize_);
        if (at < 8 || at >= tableOffset_) {
            return std::nullopt;
        }
        Object result;
        const uchar marker = bytes_[at];
        result.type = marker >> 4;
        result.count = marker & 0x0f;
        result.payload = at + 1;
        const bool counted = result.type == 0x4 || result.type == 0x5 || result.type == 0x6 ||
                             result.type == 0xa || result.type == 0xc || result.type == 0xd;
        if (counted && result.count == 0x0f) {
            if (result.payload >= tableOffset_ || (bytes_[result.payload] >> 4) != 0x1) {
                return std::nullopt;
            }
            const int width = 1 << (bytes_[result.payload] & 0x0f);
            if (width > 8 || result.payload + 1 + width > tableOffset_) {
                return std::nullopt;
            }
            result.count = number(qsizetype(result.payload + 1), width);
            result.payload += 1 + width;
        }
        return result;
    }

    // How many references a container holds, or nothing when they run past the objects.
    std::optional<quint64> references(const Object& object) const {
        const quint64 perEntry = object.type == 0xd ? 2 : 1;
        if (object.count > tableOffset_ || object.payload > tableOffset_ ||
            object.count * perEntry * refSize_ > tableOffset_ - object.payload) {
            return std::nullopt;
        }
        return object.count * perEntry;
    }

    quint64 reference(const Object& object, quint64 i) const {
        return number(qsizetype(object.payload + i * refSize_), refSize_);
    }

    // Whether a string's characters are all in bounds and none is NUL.
    bool stringIsClean(const Object& object) const {
        const quint64 unit = object.type == 0x6 ? 2 : 1;
        if (object.count > tableOffset_ || object.payload > tableOffset_ ||
            object.count * unit > tableOffset_ - object.payload) {
            return false;
        }
        for (quint64 i = 0; i < object.count; ++i) {
            const uchar* c = bytes_ + object.payload + i * unit;
            if (c[0] == 0 && (unit == 1 || c[1] == 0)) {
                return false;
            }
        }
        return true;
    }

  private:
    quint64 number(qsizetype at, int width) const {
        quint64 value = 0;
        for (int i = 0; i < width; ++i) {
            value = (value << 8) | bytes_[at + i];
        }
        return value;
    }

    const uchar* bytes_;
    qsizetype size_;
    int offsetSize_ = 0;
    int refSize_ = 0;
    quint64 objects_ = 0;
    quint64 top_ = 0;
    quint64 tableOffset_ = 0;
};

bool isContainer(uchar type) {
    return type == 0xa || type == 0xc || type == 0xd;
}

bool isKnownScalar(const BinaryList::Object& object) {
    switch (object.type) {
        case 0x0:  // null, false, true, fill
            return object.count == 0 || object.count == 8 || object.count == 9 ||
                   object.count == 0xf;
        case 0x1:
        case 0x2:
        case 0x3:
        case 0x4:
        case 0x8:
            return true;
        default:
            return false;
    }
}

bool startsWithAt(const QByteArray& data, qsizetype at, const char* text) {
    return data.size() - at >= qsizetype(std::strlen(text)) &&
           std::memcmp(data.constData() + at, text, std::strlen(text)) == 0;
}

// Whether "<name" at `at` opens a container tag (not "<dictionary" nor a self-closed one).
bool opensContainer(const QByteArray& data, qsizetype at, qsizetype nameLength) {
    const qsizetype after = at + 1 + nameLength;
    if (after >= data.size() ||
        !(data[after] == '>' || data[after] == '/' || data[after] == ' ' || data[after] == '\t' ||
          data[after] == '\n' || data[after] == '\r')) {
        return false;
    }
    const qsizetype close = data.indexOf('>', after);
    return close < 0 || data[close - 1] != '/';
}

// A character reference that stands for NUL: "&#0;", "&#x00;" and the like.
bool isNulReference(const QByteArray& data, qsizetype at) {
    qsizetype i = at + 2;
    if (i < data.size() && (data[i] == 'x' || data[i] == 'X')) {
        ++i;
    }
    const qsizetype digits = i;
    while (i < data.size() && data[i] == '0') {
        ++i;
    }
    return i > digits && i < data.size() && data[i] == ';';
}

}  // namespace

bool binaryWithinLimits(const QByteArray& data, const PropertyListLimits& limits) {
    BinaryList list(data);
    if (!list.readTrailer(limits.maxNodes)) {
        return false;
    }
    // Each object's expanded node count and depth, worked out once however often it is used.
    enum : uchar { kUnseen, kOpen, kDone };
    std::vector<uchar> state(list.objects(), kUnseen);
    std::vector<qint64> nodes(list.objects(), 0);
    std::vector<int> depth(list.objects(), 0);
    struct Frame {
        quint64 index;
        BinaryList::Object object;
        quint64 references;
        quint64 next = 0;
        qint64 nodes = 1;
        int depth = 0;
    };
    std::vector<Frame> stack;
    const auto enter = [&](quint64 index) -> bool {
        const std::optional<BinaryList::Object> object = list.object(index);
        if (!object) {
            return false;
        }
        if (!isContainer(object->type)) {
            const bool text = object->type == 0x5 || object->type == 0x6;
            if (text ? !list.stringIsClean(*object) : !isKnownScalar(*object)) {
                return false;
            }
            state[index] = kDone;
            nodes[index] = 1;
            depth[index] = 0;
            return true;
        }
        const std::optional<quint64> references = list.references(*object);
        if (!references || int(stack.size()) >= limits.maxDepth) {
            return false;
        }
        state[index] = kOpen;
        stack.push_back({index, *object, *references});
        return true;
    };
    if (!enter(list.top())) {
        return false;
    }
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next < frame.references) {
            const quint64 child = list.reference(frame.object, frame.next++);
            if (child >= list.objects() || state[child] == kOpen) {
                return false;  // out of range, or a container that holds itself
            }
            if (state[child] == kUnseen && !enter(child)) {
                return false;
            }
            if (state[child] == kDone) {
                Frame& top = stack.back();
                top.nodes = std::min(top.nodes + nodes[child], limits.maxNodes + 1);
                top.depth = std::max(top.depth, depth[child]);
            }
            continue;
        }
        const Frame done = frame;
        stack.pop_back();
        state[done.index] = kDone;
        nodes[done.index] = done.nodes;
        depth[done.index] = done.depth + 1;
        if (done.nodes > limits.maxNodes || depth[done.index] > limits.maxDepth) {
            return false;
        }
        if (!stack.empty()) {
            Frame& parent = stack.back();
            parent.nodes = std::min(parent.nodes + done.nodes, limits.maxNodes + 1);
            parent.depth = std::max(parent.depth, depth[done.index]);
        }
    }
    return nodes[list.top()] <= limits.maxNodes;
}

bool xmlWithinLimits(const QByteArray& data, const PropertyListLimits& limits) {
    if (data.contains('\0')) {
        return false;
    }
    int depth = 0;
    for (qsizetype at = 0; at < data.size(); ++at) {
        if (data[at] == '&' && startsWithAt(data, at, "&#") && isNulReference(data, at)) {
            return false;
        }
        if (data[at] != '<') {
            continue;
        }
        const auto skipTo = [&](const char* end) {
            const qsizetype found = data.indexOf(end, at);
            at = found < 0 ? data.size() : found;
        };
        if (startsWithAt(data, at, "<!--")) {
            skipTo("-->");
        } else if (startsWithAt(data, at, "<![CDATA[")) {
            skipTo("]]>");
        } else if (startsWithAt(data, at, "</array") || startsWithAt(data, at, "</dict")) {
            --depth;
        } else if ((startsWithAt(data, at, "<array") && opensContainer(data, at, 5)) ||
                   (startsWithAt(data, at, "<dict") && opensContainer(data, at, 4))) {
            if (++depth > limits.maxDepth) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace qz
