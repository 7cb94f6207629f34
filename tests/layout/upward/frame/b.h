// A frame header.
