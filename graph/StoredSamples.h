#pragma once
// The samples the stored view draws, kept by their owner (the log's table) and only read here:
// samples 1..Count(), traces as the graph numbers them (1 the time of day as a fraction of a
// day, 2 the total, 3 to 5 the X, Y and Z fields).
namespace graph {

class StoredSamples {
public:
    virtual ~StoredSamples() = default;
    virtual int Count() const = 0;
    // 0 for a sample or trace the owner does not hold.
    virtual float Value(int sample, int trace) const = 0;
};

} // namespace graph
