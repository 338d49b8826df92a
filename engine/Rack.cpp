#include "engine/Rack.h"

#include "engine/Instrument.h"

Rack::~Rack() { clear(); }

Instrument* Rack::getInstrumentAt(int index) const
{
    if (index < 0 || index >= getCount())
        return nullptr;
    return instruments[index];
}

Instrument* Rack::getInstrumentById(int id) const
{
    const int n = getCount();
    for (int i = 0; i < n; ++i)
        if (instruments[i] && instruments[i]->getId() == id)
            return instruments[i];
    return nullptr;
}

bool Rack::addInstrument(Instrument* instrument)
{
    releaseRetired();
    const int n = getCount();
    if (!instrument || n >= kMaxInstruments)
        return false;
    for (int i = 0; i < n; ++i)
        if (instruments[i] && instruments[i]->isMarkedForDelete())
            return false;
    instruments[n] = instrument;
    instrument->setId(n);
    count.store(n + 1, std::memory_order_release);
    return true;
}

void Rack::removeInstrumentAt(int index)
{
    if (index < 0 || index >= getCount())
        return;
    Instrument* removed = instruments[index];
    detachAt(index);
    delete removed;
}

void Rack::detachAt(int index)
{
    const int n = getCount();
    for (int i = index; i < n - 1; ++i) {
        instruments[i] = instruments[i + 1];
        if (instruments[i])
            instruments[i]->setId(i);
    }
    instruments[n - 1] = nullptr;
    count.store(n - 1, std::memory_order_release);
}

void Rack::processDeletion()
{
    int i = 0;
    while (i < getCount()) {
        if (instruments[i] && instruments[i]->isMarkedForDelete()) {
            Instrument* removed = instruments[i];
            detachAt(i);
            bool parked = false;
            for (int r = 0; r < kRetiredSlots && !parked; ++r) {
                Instrument* expected = nullptr;
                parked = retired[r].compare_exchange_strong(expected, removed, std::memory_order_acq_rel);
            }
            // Only if nobody has collected for a long time.
            if (!parked)
                delete removed;
            i = 0;
        } else {
            ++i;
        }
    }
}

void Rack::releaseRetired()
{
    for (auto& slot : retired)
        delete slot.exchange(nullptr, std::memory_order_acq_rel);
}

void Rack::clear()
{
    releaseRetired();
    const int n = getCount();
    count.store(0, std::memory_order_release);
    for (int i = 0; i < n; ++i) {
        delete instruments[i];
        instruments[i] = nullptr;
    }
}
