// The rules take the edition as an argument; the selector exists for linking.
extern const int Edition = 0;
