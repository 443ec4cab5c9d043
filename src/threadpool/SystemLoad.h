#pragma once
// The processor count and the machine's CPU load, as the worker pool reads them to decide how
// many threads to run.

// Number of processors; 1 when the system does not say.
int ProcessorCount();

// Successive samples of the CPU load in percent over the time since the previous sample.
class TCpuUsageSampler {
public:
    // Load in percent since the previous sample (the first call samples twice, back to back);
    // -1 when the system does not say.
    double Sample();

private:
    double SampleOnce();

    bool hasPrevious_ = false;
    double previousIdle_ = 0;
    double previousTime_ = 0;
};
