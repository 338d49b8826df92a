// What a voice reads from the plug-in that owns it while it renders.
#pragma once

class Rack;

class VoiceOwner
{
public:
    virtual ~VoiceOwner() = default;

    // The rack a block renders; only the audio thread asks for it.
    virtual Rack* playedRack(int index) = 0;
    virtual int getRackCount() const = 0;
    virtual float getSampleRate() const = 0;
    // Frames the voice and instrument buffers hold; longer host blocks are rendered in pieces.
    virtual int getRenderBlockSize() const = 0;
    virtual int getGrainSize() const = 0;

    // Global values held by the current program.
    virtual float getMasterVolume() const = 0;
    virtual float getMasterTune() const = 0;
    virtual float getVelocitySensitivity() const = 0;
    virtual float getPitchBendRange() const = 0;
};
