/* What the fuzz targets share: the input as readable fields, output storage with guard
   bytes, and a check that aborts so libFuzzer keeps the input. The targets check round
   trips, shapes and worked examples rather than a second copy of the rules. */
#ifndef PELMAR_FUZZ_SUPPORT_H
#define PELMAR_FUZZ_SUPPORT_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#define FUZZ_CHECK(condition)                                                                 \
    do { if (!(condition)) { fprintf(stderr, "broken promise: %s (%s:%d)\n", #condition,      \
                                     __FILE__, __LINE__); abort(); } } while (0)

/* Fields separated by '\n', so seed files can be written by hand; past the end, empty. */
class FuzzFields
{
public:
    FuzzFields(const uint8_t *data, size_t size)
        : next_(reinterpret_cast<const char *>(data)), end_(next_ + size) {}

    std::string Text()
    {
        const char *start = next_;
        while (next_ < end_ && *next_ != '\n')
            ++next_;
        std::string field(start, next_);
        next_ += next_ < end_;
        return field;
    }

    /* As much of the next field as a C string carries. */
    std::string CText() { return Text().c_str(); }

    /* Leading digits as a number in 0..max; without digits, the sum of the bytes. */
    size_t Number(size_t max)
    {
        std::string field = Text();
        unsigned long long value = 0;
        size_t i = 0;
        for (; i < field.size() && i < 18 && field[i] >= '0' && field[i] <= '9'; ++i)
            value = value * 10 + static_cast<unsigned>(field[i] - '0');
        for (size_t j = 0; i == 0 && j < field.size(); ++j)
            value += static_cast<unsigned char>(field[j]);
        return static_cast<size_t>(value % (max + 1ULL));
    }

private:
    const char *next_;
    const char *end_;
};

/* A byte that occurs in none of the texts, so a guard byte of that value shows any write. */
inline char FillByteAvoiding(std::initializer_list<std::string> texts)
{
    bool used[256] = { true };
    for (const std::string &text : texts)
        for (unsigned char c : text)
            used[c] = true;
    for (int c = 0xA5; c < 0xA5 + 256; ++c)
        if (!used[c & 0xFF])
            return static_cast<char>(c);
    return static_cast<char>(0xA5);
}

/* Exactly size bytes for the function under test, then guard bytes, all of the fill byte;
   on the heap, so AddressSanitizer also sees a write past the guards. */
class GuardedStorage
{
public:
    GuardedStorage(size_t size, char fill) : bytes_(size + 32, fill), size_(size), fill_(fill) {}

    char *Data() { return bytes_.data(); }
    bool GuardIntact() const { return UnchangedFrom(size_); }
    bool Untouched() const { return UnchangedFrom(0); }
    bool Terminated() const { return memchr(bytes_.data(), '\0', size_) != nullptr; }
    std::string Text() const { return bytes_.data(); }   // only when Terminated()
    /* What a bounded copy of text leaves: nothing without room, else as much as fits, ended. */
    bool HoldsCut(const std::string &text) const
    {
        return GuardIntact()
               && (size_ == 0 ? Untouched() : Terminated() && Text() == text.substr(0, size_ - 1));
    }

private:
    bool UnchangedFrom(size_t start) const
    {
        for (size_t i = start; i < bytes_.size(); ++i)
            if (bytes_[i] != fill_)
                return false;
        return true;
    }

    std::vector<char> bytes_;
    size_t size_;
    char fill_;
};

inline bool StartsWith(const std::string &text, const std::string &start)
{
    return text.compare(0, start.size(), start) == 0;
}

inline bool EndsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

#endif
