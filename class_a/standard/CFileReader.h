// CFileReader: reads a text file record by record.
//
// Lines are stripped of leading blanks and tabs; a line that then starts with
// one of the comment characters ("#") is skipped; trailing blanks, tabs, CR and
// LF are removed; an empty line ends a record. Each non-empty record (its lines
// joined, each followed by "\n") goes to _processRecord with the number of
// lines read so far.
#pragma once

#include <cstdint>
#include <istream>
#include <string>

// No namespace: the reader is shared by code of every module.
class CFileReader {
 public:
  CFileReader() = default;
  virtual ~CFileReader() = default;

  // execute: reads directory/fileName (a file name starting with "/" or "\" is
  // used as it is). Raises "Cannot open file '%1'." with the system's reason,
  // and "Cannot read file '%1'." with "Line %1 is longer than %2 bytes." for
  // a line longer than kMaxLineLength (BoundedLine.h).
  virtual void execute(const std::string& directory, const std::string& fileName);

  // readStream: reads records from an already open stream.
  void readStream(std::istream& stream);

  const std::string& path() const { return path_; }
  const std::string& commentCharacters() const { return commentCharacters_; }
  void setCommentCharacters(std::string characters) { commentCharacters_ = std::move(characters); }

  // joinPath: the path rule of execute.
  static std::string joinPath(const std::string& directory, const std::string& fileName);

 protected:
  virtual void _processRecord(const std::string& record, std::uint64_t lineNumber) = 0;
  virtual void _beforeFirstRecord() {}
  virtual void _afterLastRecordAtEnd() {}
  virtual void _afterLastRecordOtherwise() {}
  // readRecord: the next record into record; false when the stream is done.
  virtual bool readRecord(std::istream& stream, std::string& record);

 private:
  std::string path_;
  std::string commentCharacters_ = "#";
  std::uint64_t linesRead_ = 0;
};
