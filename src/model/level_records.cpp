#include "model/level_records.h"

BLOCK record_of(const play_block& block) {
  BLOCK record;
  record.horizontal = block.horizontal;
  record.length = block.length;
  record.x = block.x;
  record.y = block.y;
  record.define_block_Id();
  return record;
}

play_block block_of_record(const BLOCK& record) {
  return {record.horizontal, record.length, record.x, record.y};
}

level_records records_of(const play_level& level) {
  level_records records;
  records.prisoner = record_of(level.prisoner);
  place_block(records.prisoner, records.isblockthere);
  for (const play_block& blocker : level.blockers) {
    BLOCK& record = records.blockers[records.num_block++];
    record = record_of(blocker);
    place_block(record, records.isblockthere);
  }
  return records;
}

play_level level_of_records(const BLOCK& prisoner, const BLOCK* blockers, int num_block) {
  play_level level{block_of_record(prisoner), {}};
  for (int i = 0; i < num_block; ++i) {
    level.blockers.push_back(block_of_record(blockers[i]));
  }
  return level;
}
