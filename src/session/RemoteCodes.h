// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace varnoth {

class DeviceLink;

// The remote-control record: byte 0 the remote's system code, byte k the learnt code of key k (1..15).
// Learnt keys and read-backs arrive on the reader thread: every byte is an atomic.
class RemoteCodes {
  public:
    static constexpr std::size_t kRecordSize = 16;
    using Record = std::array<std::uint8_t, kRecordSize>;

    explicit RemoteCodes(DeviceLink& link);

    RemoteCodes(const RemoteCodes&) = delete;
    RemoteCodes& operator=(const RemoteCodes&) = delete;

    // Sends the record to the device.
    int ApplyIRSet();
    // Asks the device for its record; the reply replaces it.
    int ReadIRSet();
    // Asks the device to learn the key with this index (low byte sent).
    int StudyKey(int keyIndex);
    int CancelStudying();

    Record GetRecord() const;

  protected:
    void SetSysKey(std::uint8_t code);
    // Stores the code of key index; an index outside the record stores nothing and returns false.
    bool SetKey(int index, std::uint8_t code);
    // Copies count bytes over the record from byte 0; at most the record's 16.
    void SetAllKey(const std::uint8_t* bytes, int count);

  private:
    friend class DeviceSession;
    friend class SessionReplies;

    DeviceLink& m_link;
    std::array<std::atomic<std::uint8_t>, kRecordSize> m_keys{};
};

}  // namespace varnoth
