// The program's entry point; the generator and the move counter come later.
int main() {
  return 0;
}
