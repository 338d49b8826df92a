#include "engine/Rack.h"

#include "engine/Instrument.h"

Rack::~Rack() { clear(); }

Instrument* Rack::getInstrumentAt(int index) const
{
    if (index < 0 || index >= getCount())
        return nullptr;
    return instruments[index].load(std::memory_order_acquire);
}

Instrument* Rack::getInstrumentById(int id) const
{
    const int n = getCount();
    for (int i = 0; i < n; ++i) {
        Instrument* instrument = instruments[i].load(std::memory_order_acquire);
        if (instrument && instrument->getId() == id)
            return instrument;
    }
    return nullptr;
}

bool Rack::addInstrument(Instrument* instrument)
{
    const int n = getCount();
    if (!instrument || n >= kMaxInstruments)
        return false;
    for (int i = 0; i < n; ++i) {
        Instrument* present = instruments[i].load(std::memory_order_acquire);
        if (present && present->isMarkedForDelete())
            return false;
    }
    instrument->setId(n);
    instruments[n].store(instrument, std::memory_order_release);
    count.store(n + 1, std::memory_order_release);
    return true;
}

void Rack::removeInstrumentAt(int index)
{
    if (index < 0 || index >= getCount())
        return;
    Instrument* removed = instruments[index].load(std::memory_order_acquire);
    detachAt(index);
    delete removed;
}

void Rack::detachAt(int index)
{
    const int n = getCount();
    for (int i = index; i < n - 1; ++i) {
        Instrument* next = instruments[i + 1].load(std::memory_order_acquire);
        if (next)
            next->setId(i);
        instruments[i].store(next, std::memory_order_release);
    }
    count.store(n - 1, std::memory_order_release);
    instruments[n - 1].store(nullptr, std::memory_order_release);
}

void Rack::processDeletion()
{
    int i = 0;
    while (i < getCount()) {
        Instrument* instrument = instruments[i].load(std::memory_order_acquire);
        if (instrument && instrument->isMarkedForDelete()) {
            detachAt(i);
            bool parked = false;
            for (int r = 0; r < kRetiredSlots && !parked; ++r) {
                Instrument* expected = nullptr;
                parked = retired[r].compare_exchange_strong(expected, instrument, std::memory_order_acq_rel);
            }
            // Only if nobody has collected for a long time.
            if (!parked)
                delete instrument;
            i = 0;
        } else {
            ++i;
        }
    }
}

void Rack::releaseRetired()
{
    releaseRetired([] {});
}

void Rack::destroy(Instrument* instrument) { delete instrument; }

void Rack::clear()
{
    releaseRetired();
    const int n = getCount();
    count.store(0, std::memory_order_release);
    for (int i = 0; i < n; ++i)
        delete instruments[i].exchange(nullptr, std::memory_order_acq_rel);
}
