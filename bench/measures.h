#pragma once

namespace pilfern::bench {

// Each registers its measures, every one with its baseline, in the order the table lists them.
void RegisterFrameMeasures();
void RegisterPassMeasures();
void RegisterTextMeasures();
void RegisterHistoryMeasures();

}  // namespace pilfern::bench
