// The standard output of velmora-cli: a stream over a file descriptor that
// remembers why a write failed, so that a report lost on a full disk or a
// closed pipe is an error, not a success.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace velmora::cli {

class DescriptorBuffer : public std::streambuf {
  public:
    explicit DescriptorBuffer(int fd);
    ~DescriptorBuffer() override;

    // The errno of the first failed write; 0 while every write succeeded.
    int error() const { return error_; }

  protected:
    int_type overflow(int_type c) override;
    int sync() override;

  private:
    bool Drain();

    int fd_;
    int error_ = 0;
    std::vector<char> buffer_;
};

// Runs the command line with its results written to the descriptor. A write
// to it that fails makes the run fail: the reason goes to err and the exit
// status is 1, whatever the command itself returned.
int RunCommandLineTo(const std::vector<std::string>& args, int outFd, std::ostream& err);

}  // namespace velmora::cli
