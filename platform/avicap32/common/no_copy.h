// The base of the service's classes that own a resource (a handle, a
// session, a folder): they are neither copied nor assigned.
#ifndef MORVA_AVICAP32_COMMON_NO_COPY_H
#define MORVA_AVICAP32_COMMON_NO_COPY_H

class NoCopy {
 public:
  NoCopy(const NoCopy&) = delete;
  NoCopy& operator=(const NoCopy&) = delete;

 protected:
  NoCopy() = default;
  ~NoCopy() = default;
};

#endif
