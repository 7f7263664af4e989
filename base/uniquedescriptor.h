#pragma once

#include <unistd.h>
#include <utility>

namespace vellumite {

// Owns one open file descriptor and closes it when it goes. Moves hand the descriptor over.
class UniqueDescriptor
{
public:
    UniqueDescriptor() = default;
    explicit UniqueDescriptor(int fd) noexcept
        : m_fd(fd)
    { }
    ~UniqueDescriptor() { reset(); }

    UniqueDescriptor(UniqueDescriptor &&other) noexcept
        : m_fd(other.release())
    { }
    UniqueDescriptor &operator=(UniqueDescriptor &&other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueDescriptor(const UniqueDescriptor &) = delete;
    UniqueDescriptor &operator=(const UniqueDescriptor &) = delete;

    bool isValid() const { return m_fd >= 0; }
    // -1 when nothing is held; the descriptor stays this object's.
    int get() const { return m_fd; }

    // Closes what is held and takes `fd` instead.
    void reset(int fd = -1) noexcept
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Gives the descriptor up without closing it.
    int release() noexcept { return std::exchange(m_fd, -1); }

private:
    int m_fd = -1;
};

} // namespace vellumite
