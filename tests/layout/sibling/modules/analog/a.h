// A header of another family.
