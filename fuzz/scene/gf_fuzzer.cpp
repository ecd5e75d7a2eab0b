// GF files in either form, then everything that reads a loaded tree: every node through the
// channel reads, the text and binary writers (which must round-trip), and the scene
// description with its per-frame evaluation. Aborts when a round trip changes the tree.
#include "scene/gf.h"
#include "scene/gf_channel.h"
#include "scene/gf_write.h"
#include "scene/scene_desc.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Document {
  GFDocument* document;
  explicit Document(GFDocument* loaded) : document(loaded) {}
  ~Document() { GF_Free(document); }
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;
};

void readChannels(const GFNode* node) {
  float volatile sink = 0;
  for (float t : {-1.0f, 0.0f, 0.5f, 2.75f, 1e10f}) {
    sink = sink + GF_FP_Lerp(node, t) + GF_FP2_Lerp(node, t).y + GF_FP3_Lerp(node, t).z +
           GF_FP3_Slerp_HPB_To_XYZ(node, t).x;
  }
  for (std::int32_t i : {0, 1, 7, -1}) sink = sink + GF_FP_Get(node, i) + GF_FP3_Get(node, i).z;
  if (node->kind == GF_VALUE && node->type == GF_FP_C) {
    GFCursor cursor;
    for (std::uint64_t index : {std::uint64_t{0}, std::uint64_t{node->count / 2},
                                std::uint64_t{node->count}, std::uint64_t{1} << 33})
      sink = sink + GF_FP_C_Get(node->value(), index, cursor);
  }
  for (std::uint32_t i = 0; node->kind == GF_NODE && i < node->count; ++i) readChannels(node->children[i]);
  (void)GF_Find(node, "Scene");
}

void check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "round trip failed: %s\n", what);
  std::abort();
}

void roundTrip(const GFNode* root) {
  if (root->count == 0) return;  // the binary form cannot hold an empty tree
  std::vector<std::uint8_t> packed = GF_WriteBinary(root);
  Document binary(GF_Parse(packed.data(), packed.size()));
  check(binary.document != nullptr, "packed tree does not load");
  check(GF_WriteBinary(GF_Root(binary.document)) == packed, "packed tree packs differently");
  if (!GF_TextFormProblem(root).empty()) return;
  std::string text = GF_WriteText(root);
  Document reread(GF_Parse(text.data(), text.size()));
  check(reread.document != nullptr, "dumped tree does not load");
  check(GF_WriteText(GF_Root(reread.document)) == text, "dumped tree dumps differently");
  check(GF_WriteText(GF_Root(binary.document)) == text, "packed tree dumps differently");
}

void evaluateScene(GFDocument* document) {
  SGvSceneDesc* desc = gvSceneDescBuild(document);
  if (!desc) return;
  std::vector<SGvSurfaceValues> surfaces;
  for (const SGvSurfaceSetDesc& set : desc->surfaceSets) gvEvalSurfaceSet(set, 1.5f, surfaces);
  SGvEffectParamValues values;
  for (const SGvEffectDesc& effect : desc->effects) gvEvalEffectParams(effect, 0.25f, values);
  for (const SGvPostProcDesc& pass : desc->postProcs) gvEvalEffectParams(pass.effect, 3, values);
  for (const SGvEmitterDesc& emitter : desc->emitters) gvEvalEffectParams(emitter.effect, 3, values);
  gvSceneDescFree(desc);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The loader's messages go to standard output; libFuzzer reports on standard error.
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  GFDocument* document = GF_Parse(data, size);
  if (!document) return 0;
  readChannels(GF_Root(document));
  roundTrip(GF_Root(document));
  evaluateScene(document);
  return 0;
}
