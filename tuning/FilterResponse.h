// The magnitude of a filter-file line as the file means it: the audio-EQ-cookbook biquads at 48 kHz, and
// the conversion of Q between the cookbook's peaking filter and the processor's own peaking section.
#pragma once

#include <vector>

enum class FileFilterType { Peaking, LowShelf, HighShelf, LowPass, HighPass, Notch, AllPass };

struct FileFilter {
    FileFilterType type = FileFilterType::Peaking;
    double fc = 1000.0;   // Hz, above 0 and below 24 kHz
    double gainDb = 0.0;  // peaking and shelves
    double q = 0.0;       // above 0; 0 where the line gave none (shelves then use the slope)
    double slopeDb = 0.0; // shelves: dB per octave (12 is the cookbook's S = 1); 0 where none was given
};

// Response in dB of the filter at each frequency (exact 2 pi f / 48000). A shelf without Q takes the
// cookbook's S = slope / 12 (S = 1 without a slope); a pass filter without Q takes 0.7071.
std::vector<double> FileFilterDb(const FileFilter &f, const std::vector<double> &hz);

// The processor's peaking section (PeakingSection: poles at D = 4q for a boost, 4qA for a cut) is the
// cookbook's peaking filter of the same centre and gain with Q = 2 q 10^(-|gain| / 40): both are the
// bilinear second-order peak whose zeros and poles differ by the gain, and this Q puts the poles (and with
// them the zeros) in the same place. The two conversions are exact inverses.
double CookbookQ(double processorQ, double gainDb);
double ProcessorQ(double cookbookQ, double gainDb);
