#pragma once
// The processor count and the machine's CPU load, as the worker pool reads them to decide how
// many threads to run.

// Number of processors; 1 when the system does not say.
int ProcessorCount();

// Successive samples of the CPU load in percent over the time since the previous sample.
class TCpuUsageSampler {
public:
    // Load in percent since the previous sample; -1 when the system does not say. The first
    // sample, and one taken too soon after the previous, have nothing to measure against and
    // give -1 too: two samples back to back read an idle machine as a full one.
    double Sample();

private:
    bool hasPrevious_ = false;
    double previousIdle_ = 0;
    double previousTime_ = 0;
};
