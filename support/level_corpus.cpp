#include "support/level_corpus.h"

#include <stdexcept>
#include <string>

namespace {

// Rows from 0 down to 5; '.' free, 'P' the prisoner, 'a' .. 'm' blockers 0 .. 12.
// The dense levels come from find_hard_levels (tools/), which reports each
// one's distance from the nearest solved position.
constexpr corpus_level levels[] = {
    {"free_path", 0, 0,
     "..a...\n"
     "..a...\n"
     "......\n"
     ".PP...\n"
     "...b..\n"
     "...b..\n"},
    {"sparse_unsolvable", -1, -1,
     "cc..af\n"
     "....af\n"
     ".d..af\n"
     ".dPPb.\n"
     "e...b.\n"
     "e...b.\n"},
    {"sparse_4", 4, 4,
     ".d.ccc\n"
     ".d..a.\n"
     ".d..a.\n"
     ".PP.a.\n"
     "...bbb\n"
     "......\n"},
    {"sparse_5", 5, 5,
     "......\n"
     "...eea\n"
     ".ccc.a\n"
     "PPdb.a\n"
     "ffdb..\n"
     "...b..\n"},
    {"medium_5", 5, 5,
     "chh...\n"
     "c.ff..\n"
     "..ddd.\n"
     "PPb.e.\n"
     "ggbae.\n"
     "..ba..\n"},
    {"medium_6", 6, 6,
     "..aiih\n"
     "..a.dh\n"
     "cca.dh\n"
     "e.PPd.\n"
     "effgg.\n"
     "....bb\n"},
    {"medium_10", 10, 10,
     "e..gg.\n"
     "e.bbb.\n"
     "ddda.c\n"
     "PP.afc\n"
     ".hhafc\n"
     "....f.\n"},
    {"medium_14", 14, 14,
     ".f.eee\n"
     "bf.ggc\n"
     "b..aac\n"
     "bPPd.c\n"
     "...d..\n"
     "...d..\n"},
    // Unsolvable with room to move: the search goes through every arrangement
    // within 19 moves. Harder than anything difficulty 1 produces.
    {"medium8_unsolvable", -1, -1,
     "..g...\n"
     ".eg.ib\n"
     ".egcib\n"
     "hPPc.a\n"
     "h..dda\n"
     ".ff..a\n"},
    {"dense10_15", 15, 15,
     "gfhccj\n"
     "gfhddj\n"
     "i..ebj\n"
     "iPPeb.\n"
     "....b.\n"
     "aaa...\n"},
    {"dense11_15", 15, 15,
     "kf.bbb\n"
     "kfhae.\n"
     "iihae.\n"
     ".PPa..\n"
     ".jj..g\n"
     ".ccddg\n"},
    {"dense10_17", 17, 17,
     "jj.c..\n"
     "...cbb\n"
     "ii...g\n"
     "aePP.g\n"
     "aehffg\n"
     "aehddd\n"},
    {"dense10_19", 19, 19,
     "ja.gg.\n"
     "jaddi.\n"
     "..ebif\n"
     "PPebif\n"
     "..eh..\n"
     "cc.h..\n"},
    {"dense10_21", -1, 21,
     "jgg.if\n"
     "jaddif\n"
     ".aebi.\n"
     "PPeb..\n"
     "..eh..\n"
     "cc.h..\n"},
    {"dense12_19", 19, 19,
     "kfff..\n"
     "k.ilee\n"
     "jjilc.\n"
     "PPahc.\n"
     ".dahcb\n"
     ".dgg.b\n"},
    {"dense12_20", -1, 20,
     "kfff..\n"
     "k.ilee\n"
     "jjil..\n"
     "PPahc.\n"
     ".dahcb\n"
     ".dggcb\n"},
    {"dense11_23", -1, 23,
     "keee..\n"
     "k.cdgg\n"
     "iicd.b\n"
     "facPPb\n"
     "fajj.b\n"
     "fahh..\n"},
    {"dense13_15", 15, 15,
     "ahefjj\n"
     "ahefgg\n"
     "idcc.k\n"
     "idPPbk\n"
     "mm..bk\n"
     "ll....\n"},
    {"dense13_19", 19, 19,
     "ah.fjj\n"
     "ah.fgg\n"
     "idcc.k\n"
     "idPP.k\n"
     "mme.bk\n"
     "lle.b.\n"},
    {"dense13_20", -1, 20,
     "ah.fjj\n"
     "ah.fgg\n"
     "idccbk\n"
     "idPPbk\n"
     "mme..k\n"
     "lle...\n"},
    {"dense13_25", -1, 25,
     "jjef..\n"
     "ahefgg\n"
     "ahccbk\n"
     "idPPbk\n"
     "idmm.k\n"
     "ll....\n"},
};

}  // namespace

std::span<const corpus_level> level_corpus() {
  return levels;
}

const corpus_level& corpus_level_named(const char* name) {
  for (const corpus_level& level : levels) {
    if (std::string(level.name) == name) {
      return level;
    }
  }
  throw std::out_of_range(std::string("no level named ") + name);
}
