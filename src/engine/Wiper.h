#pragma once
// A wipe method: what each pass writes and which passes read the target back.
// It hands out the target block by block (where the block starts, how many
// units it covers, the bytes to write there); the caller does all I/O.
// Unit counts are 64-bit so that volumes of 2^31 units and more fit.
#include <cstdint>
#include <vector>
#include "settings/WipeMethodCount.h"

// What one pass does to the target, as a report tells it.
struct PassContent {
    enum Kind : uint8_t {
        Pattern,     // `pattern` repeated from the start of every block
        Random,      // pseudo-random data, new for every block
        RandomByte,  // one random byte, neither 00 nor FF, repeated over the pass
        Verify,      // reads back and compares with the latest write pass
        ZeroEvery,   // one unit of zeros in every `step` units, the others untouched
    };
    Kind kind = Random;
    std::vector<uint8_t> pattern;
    int32_t step = 0;
    bool operator==(const PassContent&) const = default;

    static PassContent Of(Kind kind) { return {kind, {}, 0}; }
    // A fixed group of bytes; a group of one repeated byte is that byte alone.
    static PassContent Fixed(std::vector<uint8_t> group);
};

class Wiper {
public:
    Wiper(int32_t verifyPassCount, int32_t writePassCount);
    virtual ~Wiper();
    Wiper(const Wiper&) = delete;
    Wiper& operator=(const Wiper&) = delete;

    bool IsVerifyPass() const { return VerifiesPass(pass); }
    // Whether the pass after the current one reads back what this one wrote.
    bool NextPassVerifies() const { return pass + 1 < passCount && VerifiesPass(pass + 1); }
    // What pass `pass` (0 to PassCount() - 1) of a round does; kept beside the
    // code that writes it, so that a report says what really happened.
    virtual PassContent DescribePass(int32_t pass) const = 0;

    // Once per round, before the first NextPass.
    void Start(int32_t unitSize, int64_t totalUnits, int32_t blockUnits);
    bool NextPass();
    // The next block of the current pass. `buffer` is null only when the
    // pattern buffer could not be committed; the caller must then stop.
    bool NextBlock(int64_t& start, int32_t& count, uint8_t*& buffer);
    // False when the last block handed out the buffer as the pass prepared
    // it: all such blocks of a pass carry the same bytes (as far as each
    // reaches), so a caller may keep a copy of them for the whole pass.
    bool BlockRefilled() const { return refilled; }

    int32_t PassCount() const { return passCount; }
    int32_t VerifyPassCount() const { return verifyPassCount; }
    int32_t WritePassCount() const { return writePassCount; }
    int32_t Pass() const { return pass; }

protected:
    virtual bool VerifiesPass(int32_t) const { return false; }
    virtual void OnStart() {}
    virtual void PreparePass() {}
    // Returns the buffer for the block; may change the block's extent and
    // where the next one starts.
    virtual uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) = 0;

    // The pattern buffer, at least `units` units long.
    uint8_t* GetBuffer(int32_t units);
    // Random bytes from the thread's generator.
    void FillRandom(uint8_t* destination, uint32_t byteCount);
    // The whole pattern buffer filled with a, b, c, a, b, c, ...
    void FillTriplet(uint8_t a, uint8_t b, uint8_t c);
    void FillByte(uint8_t value) { FillPattern(&value, 1); }
    // The whole pattern buffer filled with a repeating group of bytes.
    void FillPattern(const uint8_t* group, uint32_t groupLength);
    // A random byte that is neither 00 nor FF.
    static uint8_t RandomMiddleByte();

    // Common GetBlock bodies.
    uint8_t* PatternBlock() { return GetBuffer(blockUnits); }
    uint8_t* RandomBlock(int32_t count);

    int32_t passCount;
    int32_t verifyPassCount;
    int32_t writePassCount;
    int32_t pass = -1;
    int32_t unitSize = 0;
    int64_t position = 0;
    int64_t totalUnits = 0;
    int32_t blockUnits = 0;
    uint32_t bufferSize = 0;
    uint8_t* buffer = nullptr;
    bool refilled = false;  // the buffer was written (or replaced) during the last GetBlock
};

// The method with id 0 to 13, owned by the caller; null for any other id.
Wiper* CreateWiper(int32_t id);
