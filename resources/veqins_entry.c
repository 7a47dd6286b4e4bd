/* The resource library holds no code of its own; the loader still wants an entry. */
int __stdcall VEQINS_entry(void* instance, unsigned long reason, void* reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return 1;
}
