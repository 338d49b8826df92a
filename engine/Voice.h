// One sounding note. A voice renders every instrument of the played rack whose
// channel filter admits it; what it remembers per instrument lives in the
// instrument under the voice's id.
#pragma once

class Instrument;
class Sample;
class VoiceOwner;

class Voice
{
public:
    Voice(int id, VoiceOwner* owner);
    Voice(const Voice&) = delete;
    Voice& operator=(const Voice&) = delete;
    ~Voice();

    void play(int note, int velocity, int deltaFrames, int slot);
    // Only the voice's id matters; the arguments are not compared with the note.
    void doRelease(int note, int velocity, int deltaFrames, int slot);
    void stop(int note, int velocity, int deltaFrames, int slot);
    // Renders one block and adds it to the two output buffers.
    void process(float** outputs, int frames);
    float velocityToLevel(int velocity) const;
    void setPitchBend(int lsb, int msb);
    void adjustBufferSize();

    int getId() const { return id; }
    bool isPlaying() const { return playing; }
    bool isReleased() const { return released; }
    int getNote() const { return note; }
    int getVelocity() const { return velocity; }
    int getChannel() const { return channel; }
    double getLevelEstimate() const { return levelEstimate; }
    double getBendRatio() const { return bendRatio; }
    double getNoteRatio() const { return noteRatio; }
    float getVelocityLevel() const { return velocityLevel; }
    int getStartOffset() const { return startOffset; }
    void setStartOffset(int offset) { startOffset = offset; }

private:
    struct Frame;
    void renderInstrument(Instrument& instrument, Sample& sample, double tune, int frames);
    void endInstrument(Instrument& instrument, double position);

    int id;
    float* buffers[2] = {nullptr, nullptr};
    int bufferSize = 0;
    double bendRatio = 1.0;
    double noteRatio = 1.0;
    double rateRatio = 1.0;
    float velocityLevel = 1.0f;
    int startOffset = 0;
    int note = -1;
    int velocity = -1;
    double levelEstimate = 0.0;
    int channel = -1;
    bool playing = false;
    bool released = false;
    VoiceOwner* owner;
};
