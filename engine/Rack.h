// An ordered list of at most 16 instruments; position is the instrument's id.
// The editor marks instruments for deletion; the audio thread removes them at
// the end of a block, after every voice has rendered.
#pragma once

#include <atomic>

class Instrument;

class Rack
{
public:
    static constexpr int kMaxInstruments = 16;

    Rack() = default;
    Rack(const Rack&) = delete;
    Rack& operator=(const Rack&) = delete;
    ~Rack();

    Instrument* getInstrumentAt(int index) const;
    Instrument* getInstrumentById(int id) const;
    int getCount() const { return count.load(std::memory_order_acquire); }

    // The pointer is stored before the count is raised, so the audio thread
    // never sees a slot without its instrument. False for null, when full or while a
    // deletion is pending; the caller then keeps the instrument.
    bool addInstrument(Instrument* instrument);
    void removeInstrumentAt(int index);
    // Audio thread, end of block: takes marked instruments out of the list.
    // They are destroyed later by releaseRetired() on another thread, since
    // freeing memory may take a lock inside the allocator.
    void processDeletion();
    // Destroys the instruments processDeletion took out; never on the audio
    // thread. Between taking them and destroying them it calls
    // waitForReaders(), which returns once no other thread can hold one.
    void releaseRetired();
    template <typename Wait>
    void releaseRetired(Wait&& waitForReaders)
    {
        Instrument* taken[kRetiredSlots];
        for (int r = 0; r < kRetiredSlots; ++r)
            taken[r] = retired[r].exchange(nullptr);
        waitForReaders();
        for (Instrument* instrument : taken)
            destroy(instrument);
    }
    void clear();

private:
    static constexpr int kRetiredSlots = 64;

    void detachAt(int index);
    static void destroy(Instrument* instrument);

    // Slots move while the audio thread removes marked instruments and other
    // threads read them.
    std::atomic<Instrument*> instruments[kMaxInstruments] = {};
    std::atomic<int> count{0};
    std::atomic<Instrument*> retired[kRetiredSlots] = {};
};
