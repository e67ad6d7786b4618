// Loaded into the office (LD_PRELOAD) with the other guards. The office
// syncs a workbook it saves to the disk five times over: four times its
// temporary file, then the workbook. With several offices saving at once
// those syncs queue up in the file system's journal while the processors
// wait. Here they return at once; the run syncs each workbook once after
// its save, and counts a file whose sync fails as not written.

extern "C" {

__attribute__((visibility("default"))) int fsync(int) { return 0; }

__attribute__((visibility("default"))) int fdatasync(int) { return 0; }
}
