#include "platform/ini_files.h"

#include <algorithm>

namespace nuv {

namespace {

// Paths name files of the system, whose names compare without case.
bool SamePath(const Text& a, const Text& b) { return EqualsIgnoreCase(a, b); }

IniDocument NewDocument() {
  IniDocument doc;
  doc.sections.emplace_back();
  return doc;
}

}  // namespace

IniFiles::Batch* IniFiles::ThisThreadsBatch() {
  const auto self = std::this_thread::get_id();
  for (Batch& batch : batches_) {
    if (batch.thread == self) return &batch;
  }
  return nullptr;
}

IniDocument IniFiles::View(const Text& path) {
  const FileContents stored = files_.Read(path);
  // An unreadable file reads as an empty one, as in the system's routines.
  IniDocument doc =
      stored.status == FileReadStatus::kRead ? IniDocument::Parse(stored.bytes) : NewDocument();
  std::lock_guard lock(batchesMutex_);
  if (Batch* batch = ThisThreadsBatch()) {
    for (const FileWrites& file : batch->files) {
      if (!SamePath(file.path, path)) continue;
      for (const Write& w : file.writes) doc.Set(w.section, w.key, w.value);
    }
  }
  return doc;
}

Text IniFiles::GetString(const Text& path, const Text& section, const Text& key, size_t capacity) {
  const IniDocument doc = View(path);
  const IniDocument::Entry* entry = doc.Find(section, key);
  return entry != nullptr && entry->value ? CopyIniValue(*entry->value, capacity) : Text();
}

bool IniFiles::SetString(const Text& path, const Text& section, const Text& key,
                         const Text& value) {
  {
    std::lock_guard lock(batchesMutex_);
    if (Batch* batch = ThisThreadsBatch()) {
      auto file = std::find_if(batch->files.begin(), batch->files.end(),
                               [&](const FileWrites& f) { return SamePath(f.path, path); });
      if (file == batch->files.end()) file = batch->files.insert(file, FileWrites{path, {}});
      file->writes.push_back(Write{section, key, value});
      return true;
    }
  }
  return WriteFile(path, {Write{section, key, value}});
}

void IniFiles::BeginBatch() {
  std::lock_guard lock(batchesMutex_);
  if (Batch* batch = ThisThreadsBatch()) {
    ++batch->depth;
    return;
  }
  batches_.push_back(Batch{std::this_thread::get_id(), 1, {}});
}

bool IniFiles::EndBatch() {
  std::vector<FileWrites> files;
  {
    std::lock_guard lock(batchesMutex_);
    Batch* batch = ThisThreadsBatch();
    if (batch == nullptr) return true;
    if (--batch->depth > 0) return true;
    files = std::move(batch->files);
    batches_.erase(batches_.begin() + (batch - batches_.data()));
  }
  bool written = true;
  for (const FileWrites& file : files) written = WriteFile(file.path, file.writes) && written;
  return written;
}

bool IniFiles::WriteFile(const Text& path, const std::vector<Write>& writes) {
  bool written = true;
  {
    std::lock_guard lock(writeMutex_);
    const FileContents stored = files_.Read(path);
    // A file that is there but cannot be read is never replaced by the few
    // keys of this write: that would lose everything else it holds.
    if (stored.status == FileReadStatus::kUnreadable) {
      written = false;
    } else {
      IniDocument doc =
          stored.status == FileReadStatus::kRead ? IniDocument::Parse(stored.bytes) : NewDocument();
      bool changed = false;
      for (const Write& w : writes) changed = doc.Set(w.section, w.key, w.value) || changed;
      if (changed) written = files_.Replace(path, doc.Serialise());
    }
  }
  if (!written && saveFailed) saveFailed(path);
  return written;
}

}  // namespace nuv
