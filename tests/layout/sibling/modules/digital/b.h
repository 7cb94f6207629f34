// A header of one family.
